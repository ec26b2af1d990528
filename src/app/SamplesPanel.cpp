#include "app/SamplesPanel.h"

#include "app/UserDialogs.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include <utility>

namespace kestrim {

TSamplesPanel::TSamplesPanel(TSamples& Samples, TUserDialogs& Dialogs, TSamplesModel::TRunCommand RunCommand)
    : FSamples(Samples), FDialogs(Dialogs), FRunCommand(std::move(RunCommand))
{
    setObjectName("pnlSamples");
    FModel = new TSamplesModel(FSamples, FRunCommand, this);
    CreateCommands();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CreateToolBar());
    layout->addWidget(CreateTable(), 1);

    connect(FTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& Current) {
                if (Current.isValid())
                    FRunCommand([this, row = Current.row()] { FSamples.SetCurrent(static_cast<std::size_t>(row)); });
            });
    connect(FModel, &QAbstractItemModel::modelReset, this, &TSamplesPanel::ShowCurrent);
    connect(&FSamples, &TSamples::CurrentChanged, this, &TSamplesPanel::ShowCurrent);
    connect(&FSamples, &TSamples::Changed, this, &TSamplesPanel::UpdateCommands);
    ShowCurrent();
}

QTableView* TSamplesPanel::CreateTable()
{
    FTable = new QTableView(this);
    FTable->setObjectName("tblSamples");
    FTable->setModel(FModel);
    FTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    FTable->setSelectionMode(QAbstractItemView::SingleSelection);
    // F2 is the rename command's key.
    FTable->setEditTriggers(QAbstractItemView::DoubleClicked);
    FTable->verticalHeader()->hide();
    FTable->verticalHeader()->setDefaultSectionSize(FTable->fontMetrics().height() + 6);
    FTable->horizontalHeader()->setSectionResizeMode(TSamplesModel::colName, QHeaderView::Stretch);
    for (int column = TSamplesModel::colVerdict; column < TSamplesModel::ColumnCount; ++column)
        FTable->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    return FTable;
}

// Short words on the buttons, so that the bar fits half the window beside the script; the tool
// tips give the commands' names.
QToolBar* TSamplesPanel::CreateToolBar()
{
    auto* tools = new QToolBar(this);
    tools->setObjectName("tlbSamples");
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::pair<QAction*, const char*> buttons[] = {
        {actSampleAdd, "追加"}, {actSampleDuplicate, "複製"}, {actSampleRename, "名前"}, {actSampleDelete, "削除"},
        {actSampleUp, "↑"},     {actSampleDown, "↓"},         {actExpectedRemove, "期待値を削除"}};
    for (const auto& [action, word] : buttons)
        action->setIconText(QString::fromUtf8(word));
    tools->addActions({actSampleAdd, actSampleDuplicate, actSampleRename, actSampleDelete});
    tools->addSeparator();
    tools->addActions({actSampleUp, actSampleDown});
    tools->addSeparator();
    tools->addAction(actExpectedRemove);
    return tools;
}

// The keys act while the focus is in the panel; the window's keys stay the editors'.
QAction* TSamplesPanel::AddCommand(const char* Name, const QString& Caption, const QKeySequence& Key, const QString& Hint,
                                   const std::function<void()>& Handler)
{
    auto* action = new QAction(Caption, this);
    action->setObjectName(Name);
    action->setShortcut(Key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    action->setToolTip(Caption);
    action->setStatusTip(Hint);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, Handler] { FRunCommand(Handler); });
    return action;
}

void TSamplesPanel::CreateCommands()
{
    actSampleAdd = AddCommand("actSampleAdd", QStringLiteral("サンプルを追加"), {}, QStringLiteral("空のサンプルを追加します。"),
                              [this] { FSamples.Add(); });
    actSampleDuplicate = AddCommand("actSampleDuplicate", QStringLiteral("サンプルを複製"), {},
                                    QStringLiteral("現在のサンプルをデータと期待値ごと複製します。"),
                                    [this] { FSamples.Duplicate(); });
    actSampleRename = AddCommand("actSampleRename", QStringLiteral("名前の変更"), Qt::Key_F2,
                                 QStringLiteral("現在のサンプルの名前を変更します。"), [this] {
                                     FTable->setFocus();
                                     FTable->edit(FModel->index(static_cast<int>(FSamples.Current()),
                                                                TSamplesModel::colName));
                                 });
    actSampleDelete = AddCommand("actSampleDelete", QStringLiteral("サンプルを削除"), Qt::Key_Delete,
                                 QStringLiteral("現在のサンプルを削除します。"), [this] { DeleteSample(); });
    actSampleUp = AddCommand("actSampleUp", QStringLiteral("上へ移動"), QKeySequence(Qt::ALT | Qt::Key_Up),
                             QStringLiteral("現在のサンプルを一つ上へ移動します。"),
                             [this] { FSamples.Move(FSamples.Current(), -1); });
    actSampleDown = AddCommand("actSampleDown", QStringLiteral("下へ移動"), QKeySequence(Qt::ALT | Qt::Key_Down),
                               QStringLiteral("現在のサンプルを一つ下へ移動します。"),
                               [this] { FSamples.Move(FSamples.Current(), 1); });
    actExpectedRemove = AddCommand("actExpectedRemove", QStringLiteral("期待値を削除"), {},
                                   QStringLiteral("現在のサンプルの期待値を削除します。"),
                                   [this] { FSamples.RemoveExpected(); });
}

// A sample that holds nothing goes without a question.
void TSamplesPanel::DeleteSample()
{
    const std::size_t current = FSamples.Current();
    if (FSamples.Count() < 2)
        return;
    if (FSamples.HoldsText(current)
        && FDialogs.AskYesNoCancel(QStringLiteral("サンプル「%1」を削除しますか？")
                                       .arg(QString::fromStdString(FSamples.Name(current))))
               != TSaveAnswer::Yes)
        return;
    FSamples.Remove(current);
}

void TSamplesPanel::ShowCurrent()
{
    const QModelIndex current = FModel->index(static_cast<int>(FSamples.Current()), TSamplesModel::colName);
    if (FTable->currentIndex().row() != current.row())
        FTable->setCurrentIndex(current);
    FTable->selectRow(current.row());
    FTable->scrollTo(current);
    UpdateCommands();
}

void TSamplesPanel::UpdateCommands()
{
    const std::size_t current = FSamples.Current();
    actSampleDelete->setEnabled(FSamples.Count() > 1);
    actSampleUp->setEnabled(current > 0);
    actSampleDown->setEnabled(current + 1 < FSamples.Count());
    actExpectedRemove->setEnabled(FSamples.HasExpected(current));
}

} // namespace kestrim
