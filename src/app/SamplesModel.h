#pragma once
// TSamplesModel: the samples as the rows of a table: the name (edited in place) and how the
// last run of each ended.

#include "app/Samples.h"

#include <QAbstractTableModel>

#include <functional>

namespace kestrim {

// "一致", "不一致", ...: what the table says of a run's verdict.
QString VerdictText(TSampleVerdict Verdict);

class TSamplesModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum TColumn { colName, colVerdict, colExitCode, colTime, colFirstDifference, ColumnCount };
    using TRunCommand = std::function<void(const std::function<void()>& Handler)>;

    // A rename runs as a command through RunCommand, which shows why a name is refused.
    TSamplesModel(TSamples& Samples, TRunCommand RunCommand, QObject* Parent);

    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;

private:
    QString RunText(const TSampleRun& Run, int Column) const;

    TSamples& FSamples;
    TRunCommand FRunCommand;
    bool FRenaming = false;
};

} // namespace kestrim
