#include "app/CommandLine.h"

#include "app/ProgramVersion.h"

#include <QDir>

#include <cstdio>

namespace kestrim {
namespace {

const QString Usage = QStringLiteral(
    "使い方: kestrim [オプション] [ファイル...]\n"
    "\n"
    "スクリプトでテキストデータを変換するワークベンチを開きます。ファイルは、拡張子 .kestrim なら\n"
    "ワークベンチ、言語設定のファイルの種類に合えばスクリプト、それ以外はデータとして開きます。\n"
    "\n"
    "オプション:\n"
    "  -h, --help     この使い方を表示して終了します。\n"
    "  -v, --version  バージョンを表示して終了します。\n"
    "  --             これより後の引数はすべてファイル名です。\n");

// The toolkit's own options, which it reads and removes itself: those followed by a value and
// those without one.
const QStringList ToolkitValueOptions{"platform", "platformpluginpath", "platformtheme", "plugin",
                                      "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                      "style", "stylesheet", "display", "geometry"};
const QStringList ToolkitFlagOptions{"reverse", "widgetcount", "nograb", "dograb"};

// The option's name without its dashes and without "=value".
QString OptionName(const QString& Arg)
{
    const QString name = Arg.mid(Arg.startsWith(QStringLiteral("--")) ? 2 : 1);
    return name.section(u'=', 0, 0);
}

void Print(std::FILE* Stream, const QString& Text)
{
    std::fputs(Text.toUtf8().constData(), Stream);
    std::fflush(Stream);
}

} // namespace

TCommandLine ParseCommandLine(const QStringList& Args, const QString& CurrentFolder)
{
    TCommandLine line;
    const QDir folder(CurrentFolder);
    bool options = true;
    for (qsizetype i = 0; i < Args.size(); ++i) {
        const QString& arg = Args[i];
        if (!options || !arg.startsWith(u'-') || arg == QStringLiteral("-")) {
            line.Files << QDir::cleanPath(folder.absoluteFilePath(arg));
            continue;
        }
        const QString name = OptionName(arg);
        if (arg == QStringLiteral("--"))
            options = false;
        else if (arg == QStringLiteral("-h") || arg == QStringLiteral("--help"))
            return {TCommandLine::Help, {}, {}};
        else if (arg == QStringLiteral("-v") || arg == QStringLiteral("--version"))
            return {TCommandLine::Version, {}, {}};
        else if (ToolkitValueOptions.contains(name))
            i += arg.contains(u'=') ? 0 : 1;
        else if (!ToolkitFlagOptions.contains(name))
            return {TCommandLine::BadOption, {}, arg};
    }
    return line;
}

std::optional<int> AnswerWithoutWindow(const TCommandLine& CommandLine)
{
    switch (CommandLine.Action) {
    case TCommandLine::Open:
        return std::nullopt;
    case TCommandLine::Help:
        Print(stdout, Usage);
        return 0;
    case TCommandLine::Version:
        Print(stdout, QStringLiteral("Kestrim %1\n").arg(ProgramVersion()));
        return 0;
    case TCommandLine::BadOption:
        Print(stderr, QStringLiteral("kestrim: 不明なオプションです: %1\n\n%2").arg(CommandLine.Option, Usage));
        return 2;
    }
    return std::nullopt;
}

} // namespace kestrim
