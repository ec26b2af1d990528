#pragma once
// Opening several files at once (the command line, a drop): which of them open as what, why one
// cannot be opened, and the one message that tells the user what did not open.
//
// One workbench, one script and one data file open; PlanOpening alone decides what becomes of
// the files beyond them.

#include "settings/FileKind.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kestrim {

struct TOpenRequest {
    QString Path; // full name
    TFileKind Kind;
};

struct TOpenPlan {
    std::optional<QString> Workbench;
    std::optional<QString> Script;
    std::optional<QString> Data;
    QStringList NotOpened; // the files beyond those, in the order given
};

// The first file of each kind opens.
TOpenPlan PlanOpening(const std::vector<TOpenRequest>& Files);

// Why the file Path cannot be opened (missing, a folder, unreadable); nothing when it can.
std::optional<QString> OpeningProblem(const QString& Path);

// The message for files that failed ("name: reason" each) and files that were left unopened;
// empty when there are none.
QString OpeningReport(const QStringList& Failures, const QStringList& NotOpened);

} // namespace kestrim
