#include "app/FileOpening.h"

#include "editor/base/FileIO.h"

#include <QFileInfo>

#include <cerrno>

namespace kestrim {

TOpenPlan PlanOpening(const std::vector<TOpenRequest>& Files)
{
    TOpenPlan plan;
    for (const TOpenRequest& file : Files) {
        std::optional<QString>& slot = file.Kind == TFileKind::Workbench ? plan.Workbench
                                       : file.Kind == TFileKind::Script  ? plan.Script
                                                                         : plan.Data;
        if (slot)
            plan.NotOpened << file.Path;
        else
            slot = file.Path;
    }
    return plan;
}

// In the words of the file commands' own errors.
std::optional<QString> OpeningProblem(const QString& Path)
{
    const QFileInfo file(Path);
    const int error = !file.exists() ? ENOENT : file.isDir() ? EISDIR : !file.isReadable() ? EACCES : 0;
    if (error == 0)
        return std::nullopt;
    return QString::fromStdString(FileErrorReason(error, TFileAccess::Read));
}

QString OpeningReport(const QStringList& Failures, const QStringList& NotOpened)
{
    QStringList parts;
    if (!Failures.isEmpty())
        parts << QStringLiteral("次のファイルを開けませんでした。\n") + Failures.join(u'\n');
    if (!NotOpened.isEmpty())
        parts << QStringLiteral("一度に開けるのはワークベンチ、スクリプト、データを一つずつです。"
                                "次のファイルは開きませんでした。\n")
                     + NotOpened.join(u'\n');
    return parts.join(QStringLiteral("\n\n"));
}

} // namespace kestrim
