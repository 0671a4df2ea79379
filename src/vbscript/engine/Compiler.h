#pragma once

#include "vbscript/engine/Ast.h"
#include "vbscript/engine/Lexer.h"

namespace cva::vbs::engine {

class CInterpreter;

// Binds the names of a parsed unit to slots, procedures, built-ins and host members,
// registers its globals, procedures and classes with the interpreter, and folds
// constant expressions. Runs once per unit, so evaluation never looks names up.
bool ResolveUnit(CInterpreter& in, Unit& unit, CompileError& error);

} // namespace cva::vbs::engine
