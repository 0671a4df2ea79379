#pragma once

#include "vbscript/Coerce.h"
#include "vbscript/Status.h"
#include "vbscript/Variant.h"
#include "vbscript/engine/Ast.h"

namespace cva::vbs::engine {

// The operators of the language with VBScript's typing: Null propagation, Integer to
// Long to Double promotion on overflow, banker's rounding for \ and Mod, bitwise logic
// on numbers. Operands that are objects are read through their default member first.
Status ApplyBinary(BinOp op, const Variant& a, const Variant& b, Variant& out);
Status ApplyNegate(const Variant& a, Variant& out);
Status ApplyNot(const Variant& a, Variant& out);
// Concatenation with a string result (Null & Null is Null).
Status ApplyConcat(const Variant& a, const Variant& b, Variant& out);

} // namespace cva::vbs::engine
