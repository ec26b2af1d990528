#pragma once
// TSamplesPanel: the samples table with its tool bar (add, duplicate, rename, delete, move up
// and down, delete the expected result). The selected row is the current sample.

#include "app/SamplesModel.h"

#include <QWidget>

class QAction;
class QTableView;
class QToolBar;

namespace kestrim {

class TUserDialogs;

class TSamplesPanel : public QWidget {
    Q_OBJECT

public:
    TSamplesPanel(TSamples& Samples, TUserDialogs& Dialogs, TSamplesModel::TRunCommand RunCommand);

    QTableView& Table() const { return *FTable; }

    QAction* actSampleAdd;
    QAction* actSampleDuplicate;
    QAction* actSampleRename;
    QAction* actSampleDelete;
    QAction* actSampleUp;
    QAction* actSampleDown;
    QAction* actExpectedRemove;

private:
    QAction* AddCommand(const char* Name, const QString& Caption, const QKeySequence& Key, const QString& Hint,
                        const std::function<void()>& Handler);
    void CreateCommands();
    QTableView* CreateTable();
    QToolBar* CreateToolBar();
    void DeleteSample();
    void ShowCurrent();
    void UpdateCommands();

    TSamples& FSamples;
    TUserDialogs& FDialogs;
    TSamplesModel::TRunCommand FRunCommand;
    TSamplesModel* FModel;
    QTableView* FTable;
};

} // namespace kestrim
