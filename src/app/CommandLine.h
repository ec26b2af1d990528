#pragma once
// The program's command line: "kestrim [FILE...]", "--help", "--version". Read before the
// toolkit starts, so that the help and the version need no display; the toolkit's own options
// ("-platform offscreen", "-style fusion") are passed over and left to it.

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrim {

struct TCommandLine {
    enum TAction { Open, Help, Version, BadOption };
    TAction Action = Open;
    QStringList Files;  // full names, in the order given
    QString Option;     // the option that is not known, for BadOption
};

// Args are the arguments after the program's name; a relative file name is taken relative to
// CurrentFolder. "--" ends the options: every argument after it is a file.
TCommandLine ParseCommandLine(const QStringList& Args, const QString& CurrentFolder);

// Answers a command line that opens no window (help and version on standard output, a bad
// option and the usage on standard error) and gives the program's exit code: 0, or 2 for a
// bad option. Nothing for a command line that opens the window.
std::optional<int> AnswerWithoutWindow(const TCommandLine& CommandLine);

} // namespace kestrim
