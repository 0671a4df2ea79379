#include "platform/target/SandboxSeed.h"

#include <utility>

namespace cva::target {

namespace {

// Fixed key time (10 June 2008, the month XP SP3 reached users), so a fresh sandbox
// is the same every time it is created.
constexpr const char* kHeader = "WINE REGISTRY Version 2\n";

const char* const kSystemKeys = R"REG(
[Software\\Classes\\.txt] 1213056000
@="txtfile"
"Content Type"="text/plain"

[Software\\Classes\\.vbs] 1213056000
@="VBSFile"

[Software\\Classes\\txtfile] 1213056000
@="Text Document"

[Software\\Classes\\txtfile\\shell\\open\\command] 1213056000
@=str(2):"%SystemRoot%\\system32\\NOTEPAD.EXE %1"

[Software\\Microsoft\\Windows\\CurrentVersion] 1213056000
"CommonFilesDir"="C:\\Program Files\\Common Files"
"DevicePath"=str(2):"%SystemRoot%\\inf"
"MediaPathUnexpanded"=str(2):"%SystemRoot%\\Media"
"ProductId"="76487-OEM-0011903-00102"
"ProgramFilesDir"="C:\\Program Files"
"ProgramFilesPath"=str(2):"%ProgramFiles%"
"SM_AccessoriesName"="Accessories"
"WallPaperDir"=str(2):"%SystemRoot%\\Web\\Wallpaper"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer] 1213056000
"AlwaysUnloadDLL"=dword:00000000

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1213056000
"Common AppData"="C:\\Documents and Settings\\All Users\\Application Data"
"Common Desktop"="C:\\Documents and Settings\\All Users\\Desktop"
"Common Documents"="C:\\Documents and Settings\\All Users\\Documents"
"Common Favorites"="C:\\Documents and Settings\\All Users\\Favorites"
"Common Programs"="C:\\Documents and Settings\\All Users\\Start Menu\\Programs"
"Common Start Menu"="C:\\Documents and Settings\\All Users\\Start Menu"
"Common Startup"="C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Startup"
"Common Templates"="C:\\Documents and Settings\\All Users\\Templates"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders] 1213056000
"Common AppData"=str(2):"%ALLUSERSPROFILE%\\Application Data"
"Common Desktop"=str(2):"%ALLUSERSPROFILE%\\Desktop"
"Common Documents"=str(2):"%ALLUSERSPROFILE%\\Documents"
"Common Favorites"=str(2):"%ALLUSERSPROFILE%\\Favorites"
"Common Programs"=str(2):"%ALLUSERSPROFILE%\\Start Menu\\Programs"
"Common Start Menu"=str(2):"%ALLUSERSPROFILE%\\Start Menu"
"Common Startup"=str(2):"%ALLUSERSPROFILE%\\Start Menu\\Programs\\Startup"
"Common Templates"=str(2):"%ALLUSERSPROFILE%\\Templates"

[Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer] 1213056000
"NoDriveTypeAutoRun"=dword:00000091

[Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System] 1213056000
"dontdisplaylastusername"=dword:00000000
"legalnoticecaption"=""
"legalnoticetext"=""
"shutdownwithoutlogon"=dword:00000001
"undockwithoutlogon"=dword:00000001

[Software\\Microsoft\\Windows\\CurrentVersion\\Run] 1213056000

[Software\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update] 1213056000
"AUOptions"=dword:00000004
"AUState"=dword:00000007

[Software\\Microsoft\\Windows NT\\CurrentVersion] 1213056000
"BuildLab"="2600.xpsp.080413-2111"
"CSDVersion"="Service Pack 3"
"CurrentBuild"="1.511.1 () (Obsolete data - do not use)"
"CurrentBuildNumber"="2600"
"CurrentType"="Uniprocessor Free"
"CurrentVersion"="5.1"
"InstallDate"=dword:484e2a00
"PathName"="C:\\WINDOWS"
"ProductId"="76487-OEM-0011903-00102"
"ProductName"="Microsoft Windows XP"
"RegisteredOrganization"=""
"RegisteredOwner"="{USER}"
"SoftwareType"="SYSTEM"
"SystemRoot"="C:\\WINDOWS"

[Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList] 1213056000
"AllUsersProfile"="All Users"
"DefaultUserProfile"="Default User"
"ProfilesDirectory"=str(2):"%SystemDrive%\\Documents and Settings"

[Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-18] 1213056000
"Flags"=dword:0000000c
"ProfileImagePath"=str(2):"%SystemRoot%\\system32\\config\\systemprofile"
"State"=dword:00000000

[Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-19] 1213056000
"Flags"=dword:00000000
"ProfileImagePath"=str(2):"%SystemDrive%\\Documents and Settings\\LocalService"
"State"=dword:00000000

{PROFILES}
[Software\\Microsoft\\Windows NT\\CurrentVersion\\SystemRestore] 1213056000
"DiskPercent"=dword:0000000c
"DisableSR"=dword:00000000
"RPGlobalInterval"=dword:00015180
"RPLifeInterval"=dword:0076a700

[Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon] 1213056000
"AllowMultipleTSSessions"=dword:00000001
"AutoAdminLogon"="0"
"AutoRestartShell"=dword:00000001
"CachedLogonsCount"="10"
"DefaultDomainName"="{COMPUTER}"
"DefaultUserName"="{USER}"
"LegalNoticeCaption"=""
"LegalNoticeText"=""
"PowerdownAfterShutdown"="0"
"SFCDisable"=dword:00000000
"Shell"="Explorer.exe"
"ShutdownWithoutLogon"="0"
"Userinit"="C:\\WINDOWS\\system32\\userinit.exe,"

[System\\ControlSet001\\Control] 1213056000
"CurrentUser"="USERNAME"
"SystemStartOptions"=" FASTDETECT NOEXECUTE=OPTIN"
"WaitToKillServiceTimeout"="20000"

[System\\ControlSet001\\Control\\ComputerName\\ComputerName] 1213056000
"ComputerName"="{COMPUTER}"

[System\\ControlSet001\\Control\\CrashControl] 1213056000
"AutoReboot"=dword:00000001
"CrashDumpEnabled"=dword:00000003
"DumpFile"=str(2):"%SystemRoot%\\MEMORY.DMP"
"LogEvent"=dword:00000001
"MinidumpDir"=str(2):"%SystemRoot%\\Minidump"
"Overwrite"=dword:00000001
"SendAlert"=dword:00000001

[System\\ControlSet001\\Control\\FileSystem] 1213056000
"NtfsDisable8dot3NameCreation"=dword:00000000
"NtfsDisableLastAccessUpdate"=dword:00000000
"Win31FileSystem"=dword:00000000

[System\\ControlSet001\\Control\\ProductOptions] 1213056000
"ProductType"="WinNT"

[System\\ControlSet001\\Control\\Session Manager] 1213056000
"BootExecute"=str(7):"autocheck autochk *\0"

[System\\ControlSet001\\Control\\Session Manager\\Environment] 1213056000
"ComSpec"=str(2):"%SystemRoot%\\system32\\cmd.exe"
"FP_NO_HOST_CHECK"="NO"
"NUMBER_OF_PROCESSORS"="1"
"OS"="Windows_NT"
"Path"=str(2):"%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem"
"PATHEXT"=".COM;.EXE;.BAT;.CMD;.VBS;.VBE;.JS;.JSE;.WSF;.WSH"
"PROCESSOR_ARCHITECTURE"="x86"
"TEMP"=str(2):"%SystemRoot%\\TEMP"
"TMP"=str(2):"%SystemRoot%\\TEMP"
"windir"=str(2):"%SystemRoot%"

[System\\ControlSet001\\Control\\Session Manager\\Memory Management] 1213056000
"ClearPageFileAtShutdown"=dword:00000000
"DisablePagingExecutive"=dword:00000000
"LargeSystemCache"=dword:00000000
"PagingFiles"=str(7):"C:\\pagefile.sys 1536 3072\0"

[System\\ControlSet001\\Control\\Session Manager\\Memory Management\\PrefetchParameters] 1213056000
"EnablePrefetcher"=dword:00000003

[System\\ControlSet001\\Control\\Windows] 1213056000
"CSDVersion"=dword:00000300

[System\\ControlSet001\\Hardware Profiles\\Current\\Software\\Fonts] 1213056000
"LogPixels"=dword:00000060

[System\\ControlSet001\\Services\\Tcpip\\Parameters] 1213056000
"DataBasePath"=str(2):"%SystemRoot%\\System32\\drivers\\etc"
"Domain"=""
"Hostname"="{HOSTNAME}"
"NV Hostname"="{HOSTNAME}"

[System\\CurrentControlSet] 1213056000
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,\
  74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,74,00,72,00,6f,00,6c,00,53,00,65,\
  00,74,00,30,00,30,00,31,00

[System\\Select] 1213056000
"Current"=dword:00000001
"Default"=dword:00000001
"Failed"=dword:00000000
"LastKnownGood"=dword:00000002
)REG";

const char* const kProfileEntry = R"REG([Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\{SID}] 1213056000
"Flags"=dword:00000000
"ProfileImagePath"=str(2):"%SystemDrive%\\Documents and Settings\\{NAME}"
"State"=dword:00000000

)REG";

// What every user hive of the sandbox holds; {PROFILE} is the profile folder with
// doubled backslashes.
const char* const kUserKeys = R"REG(
[Control Panel\\Desktop] 1213056000
"AutoEndTasks"="0"
"CursorBlinkRate"="530"
"DragFullWindows"="1"
"FontSmoothing"="2"
"FontSmoothingType"=dword:00000001
"HungAppTimeout"="5000"
"MenuShowDelay"="400"
"PaintDesktopVersion"=dword:00000000
"ScreenSaveActive"="1"
"ScreenSaveTimeOut"="600"
"WaitToKillAppTimeout"="20000"
"Wallpaper"=""

[Control Panel\\Desktop\\WindowMetrics] 1213056000
"MinAnimate"="1"

[Control Panel\\Mouse] 1213056000
"DoubleClickSpeed"="500"
"MouseHoverTime"="400"
"MouseSpeed"="1"
"MouseThreshold1"="6"
"MouseThreshold2"="10"
"SnapToDefaultButton"="0"

[Environment] 1213056000
"TEMP"=str(2):"%USERPROFILE%\\Local Settings\\Temp"
"TMP"=str(2):"%USERPROFILE%\\Local Settings\\Temp"

[Software\\Microsoft\\Internet Explorer\\Main] 1213056000
"Search Page"="http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch"
"Start Page"="http://www.microsoft.com/isapi/redir.dll?prd=ie&pver=6&ar=msnhome"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer] 1213056000
"ShellState"=hex:24,00,00,00,33,28,00,00,00,00,00,00,00,00,00,00,00,00,00,00,\
  01,00,00,00,0d,00,00,00,00,00,00,00,00,00,00,00

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced] 1213056000
"FolderContentsInfoTip"=dword:00000001
"Hidden"=dword:00000002
"HideFileExt"=dword:00000001
"HideIcons"=dword:00000000
"ListviewAlphaSelect"=dword:00000001
"ListviewShadow"=dword:00000001
"MapNetDrvBtn"=dword:00000000
"SeparateProcess"=dword:00000000
"ShowCompColor"=dword:00000001
"ShowInfoTip"=dword:00000001
"ShowSuperHidden"=dword:00000000
"Start_ShowRun"=dword:00000001
"StartMenuInit"=dword:00000002
"SuperHidden"=dword:00000000
"TaskbarAnimations"=dword:00000001
"TaskbarGlomming"=dword:00000001
"WebView"=dword:00000001

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1213056000
"AppData"="{PROFILE}\\Application Data"
"Cache"="{PROFILE}\\Local Settings\\Temporary Internet Files"
"Cookies"="{PROFILE}\\Cookies"
"Desktop"="{PROFILE}\\Desktop"
"Favorites"="{PROFILE}\\Favorites"
"Fonts"="C:\\WINDOWS\\Fonts"
"History"="{PROFILE}\\Local Settings\\History"
"Local AppData"="{PROFILE}\\Local Settings\\Application Data"
"Local Settings"="{PROFILE}\\Local Settings"
"My Music"="{PROFILE}\\My Documents\\My Music"
"My Pictures"="{PROFILE}\\My Documents\\My Pictures"
"NetHood"="{PROFILE}\\NetHood"
"Personal"="{PROFILE}\\My Documents"
"PrintHood"="{PROFILE}\\PrintHood"
"Programs"="{PROFILE}\\Start Menu\\Programs"
"Recent"="{PROFILE}\\Recent"
"SendTo"="{PROFILE}\\SendTo"
"Start Menu"="{PROFILE}\\Start Menu"
"Startup"="{PROFILE}\\Start Menu\\Programs\\Startup"
"Templates"="{PROFILE}\\Templates"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders] 1213056000
"AppData"=str(2):"%USERPROFILE%\\Application Data"
"Cache"=str(2):"%USERPROFILE%\\Local Settings\\Temporary Internet Files"
"Cookies"=str(2):"%USERPROFILE%\\Cookies"
"Desktop"=str(2):"%USERPROFILE%\\Desktop"
"Favorites"=str(2):"%USERPROFILE%\\Favorites"
"History"=str(2):"%USERPROFILE%\\Local Settings\\History"
"Local AppData"=str(2):"%USERPROFILE%\\Local Settings\\Application Data"
"Local Settings"=str(2):"%USERPROFILE%\\Local Settings"
"My Music"=str(2):"%USERPROFILE%\\My Documents\\My Music"
"My Pictures"=str(2):"%USERPROFILE%\\My Documents\\My Pictures"
"NetHood"=str(2):"%USERPROFILE%\\NetHood"
"Personal"=str(2):"%USERPROFILE%\\My Documents"
"PrintHood"=str(2):"%USERPROFILE%\\PrintHood"
"Programs"=str(2):"%USERPROFILE%\\Start Menu\\Programs"
"Recent"=str(2):"%USERPROFILE%\\Recent"
"SendTo"=str(2):"%USERPROFILE%\\SendTo"
"Start Menu"=str(2):"%USERPROFILE%\\Start Menu"
"Startup"=str(2):"%USERPROFILE%\\Start Menu\\Programs\\Startup"
"Templates"=str(2):"%USERPROFILE%\\Templates"

[Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings] 1213056000

[Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer] 1213056000
"NoDriveTypeAutoRun"=dword:00000091

[Software\\Microsoft\\Windows\\CurrentVersion\\Run] 1213056000
"ctfmon.exe"="C:\\WINDOWS\\system32\\ctfmon.exe"
)REG";

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
}

// Names go into quoted registry strings, where a backslash or quote needs escaping.
std::string EscapeRegString(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::string ToLowerAscii(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string UserHive(const std::string& sidPath, const std::string& userName) {
    std::string text = kHeader;
    text += ";; All keys relative to REGISTRY\\\\User\\\\" + sidPath + "\n\n#arch=win32\n";
    std::string body = kUserKeys;
    ReplaceAll(body, "{PROFILE}",
               "C:\\\\Documents and Settings\\\\" + EscapeRegString(userName));
    text += body;
    return text;
}

} // namespace

const std::vector<SandboxUser>& SandboxOtherUsers() {
    static const std::vector<SandboxUser> users = {
        {"Administrator", "S-1-5-21-0-0-0-500"},
        {"Helpdesk", "S-1-5-21-0-0-0-1003"},
    };
    return users;
}

const char* SandboxRunningUserSid() { return "S-1-5-21-0-0-0-1000"; }

std::string SandboxSystemHive(const SandboxSeedNames& names) {
    std::string profiles;
    std::vector<SandboxUser> all = {{names.runningUser, SandboxRunningUserSid()}};
    all.insert(all.end(), SandboxOtherUsers().begin(), SandboxOtherUsers().end());
    for (const auto& user : all) {
        std::string entry = kProfileEntry;
        ReplaceAll(entry, "{SID}", user.sid);
        ReplaceAll(entry, "{NAME}", EscapeRegString(user.name));
        profiles += entry;
    }
    std::string body = kSystemKeys;
    ReplaceAll(body, "{PROFILES}\n", profiles);
    ReplaceAll(body, "{USER}", EscapeRegString(names.runningUser));
    ReplaceAll(body, "{COMPUTER}", EscapeRegString(names.computerName));
    ReplaceAll(body, "{HOSTNAME}", EscapeRegString(ToLowerAscii(names.computerName)));
    return std::string(kHeader) + ";; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n" +
           body;
}

std::string SandboxUserHive(const SandboxSeedNames& names) {
    return UserHive(SandboxRunningUserSid(), names.runningUser);
}

std::string SandboxDefaultHive(const SandboxSeedNames&) {
    return UserHive(".Default", "Default User");
}

std::string SandboxProfileHive(const SandboxSeedNames&, const SandboxUser& user) {
    return UserHive(user.sid, user.name);
}

std::string SandboxWinIni() {
    return "; for 16-bit app support\r\n"
           "[fonts]\r\n"
           "[extensions]\r\n"
           "[mci extensions]\r\n"
           "[files]\r\n"
           "[Mail]\r\n"
           "MAPI=1\r\n"
           "[MCI Extensions.BAK]\r\n"
           "aif=MPEGVideo\r\n"
           "mid=MPEGVideo\r\n"
           "mp3=MPEGVideo\r\n"
           "wav=MPEGVideo\r\n";
}

} // namespace cva::target
