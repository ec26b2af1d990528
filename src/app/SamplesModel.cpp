#include "app/SamplesModel.h"

namespace kestrim {

QString VerdictText(TSampleVerdict Verdict)
{
    switch (Verdict) {
    case TSampleVerdict::Pass: return QStringLiteral("一致");
    case TSampleVerdict::Fail: return QStringLiteral("不一致");
    case TSampleVerdict::NoExpectation: return QStringLiteral("期待値なし");
    case TSampleVerdict::Stopped: return QStringLiteral("中断");
    case TSampleVerdict::TimedOut: return QStringLiteral("時間切れ");
    case TSampleVerdict::NotRun: break;
    }
    return QStringLiteral("未実行");
}

TSamplesModel::TSamplesModel(TSamples& Samples, TRunCommand RunCommand, QObject* Parent)
    : QAbstractTableModel(Parent), FSamples(Samples), FRunCommand(std::move(RunCommand))
{
    // Rows come and go, move and change all at once: the table reads them again, except while
    // it writes a name, where it keeps its editor.
    connect(&FSamples, &TSamples::TableChanged, this, [this] {
        if (FRenaming)
            return;
        beginResetModel();
        endResetModel();
    });
}

int TSamplesModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : static_cast<int>(FSamples.Count());
}

int TSamplesModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : ColumnCount;
}

QVariant TSamplesModel::data(const QModelIndex& Index, int Role) const
{
    if (Role != Qt::DisplayRole && Role != Qt::EditRole)
        return {};
    const auto row = static_cast<std::size_t>(Index.row());
    if (Index.column() == colName)
        return QString::fromStdString(FSamples.Name(row));
    const std::optional<TSampleRun>& run = FSamples.LastRun(row);
    return run ? RunText(*run, Index.column()) : QString();
}

QString TSamplesModel::RunText(const TSampleRun& Run, int Column) const
{
    switch (Column) {
    case colVerdict: return VerdictText(Run.Verdict);
    case colExitCode: return Run.ExitCode ? QString::number(*Run.ExitCode) : QString();
    case colTime: return QStringLiteral("%1 秒").arg(Run.Seconds, 0, 'f', 2);
    case colFirstDifference: return Run.FirstDifferentLine > 0 ? QString::number(Run.FirstDifferentLine) : QString();
    }
    return {};
}

QVariant TSamplesModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Orientation != Qt::Horizontal || Role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(Section, Orientation, Role);
    static const QString captions[ColumnCount] = {QStringLiteral("サンプル"), QStringLiteral("結果"),
                                                  QStringLiteral("終了コード"), QStringLiteral("時間"),
                                                  QStringLiteral("最初の相違行")};
    return captions[Section];
}

Qt::ItemFlags TSamplesModel::flags(const QModelIndex& Index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(Index);
    return Index.column() == colName ? flags | Qt::ItemIsEditable : flags;
}

bool TSamplesModel::setData(const QModelIndex& Index, const QVariant& Value, int Role)
{
    if (Role != Qt::EditRole || Index.column() != colName)
        return false;
    bool renamed = false;
    FRenaming = true;
    FRunCommand([&] {
        FSamples.Rename(static_cast<std::size_t>(Index.row()), Value.toString().toStdString());
        renamed = true;
    });
    FRenaming = false;
    if (renamed)
        emit dataChanged(Index, Index);
    return renamed;
}

} // namespace kestrim
