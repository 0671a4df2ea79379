#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace cva::vbs {

// VBScript's run-time and compilation error numbers. The status code a host sees is
// 0x800A0000 plus the number.
enum ErrorNumber : int32_t {
    kErrNone = 0,
    kErrReturnWithoutGosub = 3,
    kErrInvalidCall = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscript = 9,
    kErrArrayLocked = 10,
    kErrDivByZero = 11,
    kErrTypeMismatch = 13,
    kErrOutOfStringSpace = 14,
    kErrCantPerform = 17,
    kErrUserInterrupt = 18,
    kErrOutOfStack = 28,
    kErrUndefinedProc = 35,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrBadFileMode = 54,
    kErrFileAlreadyOpen = 55,
    kErrIoError = 57,
    kErrFileAlreadyExists = 58,
    kErrDiskFull = 61,
    kErrInputPastEnd = 62,
    kErrTooManyFiles = 67,
    kErrDeviceUnavailable = 68,
    kErrPermissionDenied = 70,
    kErrDiskNotReady = 71,
    kErrRenameAcrossDisks = 74,
    kErrPathFileAccess = 75,
    kErrPathNotFound = 76,
    kErrObjectNotSet = 91,
    kErrForNotInitialized = 92,
    kErrInvalidPatternString = 93,
    kErrInvalidUseOfNull = 94,
    kErrCantCreateTempFile = 322,
    kErrObjectRequired = 424,
    kErrCantCreateObject = 429,
    kErrNoAutomation = 430,
    kErrFileNameOrClassNotFound = 432,
    kErrNoSuchMember = 438,
    kErrLocaleNotSupported = 447,
    kErrArgNotOptional = 449,
    kErrWrongArgCount = 450,
    kErrNotCollection = 451,
    kErrSpecifiedDllNotFound = 453,
    kErrKeyExists = 457,
    kErrUnsupportedVariantType = 458,
    kErrVariableUndefined = 500,
    kErrIllegalAssignment = 501,
    kErrNotSafeForScripting = 502,
    kErrNotSafeForInit = 503,
    kErrNotSafeForCreate = 504,
    kErrInvalidForwardRef = 505,
    kErrClassNotDefined = 506,
    kErrException = 507,
    kErrRegExpSyntax = 5017,
    kErrRegExpBadQuantifier = 5018,
    kErrRegExpExpectedBracket = 5019,
    kErrRegExpExpectedParen = 5020,
    kErrRegExpBadRange = 5021,
    // Compilation errors.
    kErrOutOfMemoryCompile = 1001,
    kErrSyntax = 1002,
    kErrExpectedColon = 1003,
    kErrExpectedLParen = 1005,
    kErrExpectedRParen = 1006,
    kErrExpectedRBracket = 1007,
    kErrExpectedIdentifier = 1010,
    kErrExpectedEqual = 1011,
    kErrExpectedIf = 1012,
    kErrExpectedTo = 1013,
    kErrExpectedEnd = 1014,
    kErrExpectedFunction = 1015,
    kErrExpectedSub = 1016,
    kErrExpectedThen = 1017,
    kErrExpectedWend = 1018,
    kErrExpectedLoop = 1019,
    kErrExpectedNext = 1020,
    kErrExpectedCase = 1021,
    kErrExpectedSelect = 1022,
    kErrExpectedExpression = 1023,
    kErrExpectedStatement = 1024,
    kErrExpectedEndOfStatement = 1025,
    kErrExpectedInteger = 1026,
    kErrExpectedWhileOrUntil = 1027,
    kErrExpectedWhileUntilOrEnd = 1028,
    kErrExpectedWith = 1029,
    kErrIdentifierTooLong = 1030,
    kErrInvalidNumber = 1031,
    kErrInvalidCharacter = 1032,
    kErrUnterminatedString = 1033,
    kErrUnterminatedComment = 1034,
    kErrInvalidUseOfMe = 1037,
    kErrLoopWithoutDo = 1038,
    kErrInvalidExit = 1039,
    kErrInvalidForControl = 1040,
    kErrNameRedefined = 1041,
    kErrMustBeFirstStatement = 1042,
    kErrCantAssignToNonByVal = 1043,
    kErrCantUseParensCallingSub = 1044,
    kErrExpectedLiteralConstant = 1045,
    kErrExpectedIn = 1046,
    kErrExpectedClass = 1047,
    kErrMustBeInsideClass = 1048,
    kErrExpectedLetSetGet = 1049,
    kErrExpectedProperty = 1050,
    kErrInconsistentPropertyArgs = 1051,
    kErrMultipleDefault = 1052,
    kErrClassInitNoArgs = 1053,
    kErrPropertyLetSetNeedsArg = 1054,
    kErrUnexpectedNext = 1055,
    kErrDefaultOnlyPublic = 1057,
    kErrDefaultOnlyPropertyGet = 1058,
    kErrExpectedStatementOrEnd = 1068,
};

// Standard English description of a VBScript error number; empty when unknown.
std::u16string_view StandardDescription(int32_t number);

// The outcome of an operation that can raise a script error. Errors are values: native
// objects and the engine hand these back instead of throwing. An empty description
// means "the standard text for the number".
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(int32_t number) : m_number(number) {} // NOLINT: a bare number is a status
    Status(int32_t number, std::u16string description)
        : m_number(number), m_description(std::move(description)) {}

    static Status Ok() { return Status(); }

    bool IsOk() const { return m_number == 0; }
    bool Failed() const { return m_number != 0; }
    int32_t Number() const { return m_number; }
    // The description to show: the one given, or the standard one for the number.
    std::u16string Description() const;
    const std::u16string& RawDescription() const { return m_description; }
    // 0x800A0000 plus the number, as Active Scripting reports it.
    uint32_t StatusCode() const { return 0x800A0000u + static_cast<uint32_t>(m_number & 0xFFFF); }

private:
    int32_t m_number = 0;
    std::u16string m_description;
};

// The error a script gets where the program stopped it (a time-out, "Stop script").
inline Status InterruptedStatus() {
    return Status(kErrUserInterrupt, u"The script was stopped by the program");
}

} // namespace cva::vbs
