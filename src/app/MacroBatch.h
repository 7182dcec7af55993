#pragma once
// The macro commands of quellin's batch mode (no window, no display):
//   quellin --macro FILE [--max-steps N]   compiles and runs a macro file
//   quellin --eval EXPRESSION              prints the expression's value
// Print writes its text as one line to standard output, PrintError to
// standard error; a compile or run-time error prints the engine's message
// to standard error and gives exit status 1.

#include <QString>
#include <QStringList>
#include <string>

class QTextStream;

bool IsMacroCommand(const QString& option);
int RunMacroBatch(const QStringList& args, QTextStream& out, QTextStream& err);

// Macro text for the engine: a file in UTF-8 (the usual case on Linux) is
// converted to the engine's Windows-1252 bytes; any other file is taken as
// Windows-1252 already.
std::string MacroSourceFromBytes(const QByteArray& bytes);
