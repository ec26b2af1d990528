#include "app/WrapCommands.h"

#include "app/MainActions.h"
#include "dialogs/InputInteger.h"
#include "editor/control/EditorControl.h"
#include "editor/text/edWrapOption.h"
#include "settings/UKestrimReg.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QMenu>

#include <algorithm>

namespace kestrim {
namespace {

// Long enough to let a resize by the mouse end before the whole text is wrapped again.
constexpr int FitDelayMs = 100;
// The columns that punctuation may hang past the wrap column under the line-break rules.
constexpr int PunctuationHang = 2;

QString ColumnsCaption(int Columns)
{
    return QStringLiteral("%1 桁(&N)...").arg(Columns);
}

} // namespace

TWrapCommands::TWrapCommands(QMenu& View, const std::array<TEditor*, 4>& Editors, TRunCommand RunCommand)
    : QObject(&View), FEditors(Editors), FRunCommand(std::move(RunCommand)), FColumns(TKestrimReg::DefaultWrapColumn)
{
    actViewWordWrap = AddCheckable(View, QStringLiteral("折り返し(&O)"), QStringLiteral("行の折り返しを切り替えます。"),
                                   [this] { SetWordWrap(actViewWordWrap->isChecked()); });
    actWrapRules = AddCheckable(View, QStringLiteral("禁則処理(&K)"),
                                QStringLiteral("閉じ括弧や句読点で行を始めず、開き括弧で行を終えないように折り返します。"
                                               "句読点は右端からはみ出して置きます。"),
                                [this] { ApplyRules(); });
    actWrapWordBreak = AddCheckable(View, QStringLiteral("単語単位で折り返す(&U)"),
                                    QStringLiteral("英単語や数字の途中では折り返しません。"), [this] { ApplyRules(); });

    QMenu* columns = View.addMenu(QStringLiteral("折り返し桁(&C)"));
    actWrapWindowWidth = AddCheckable(*columns, QStringLiteral("ウィンドウの幅(&W)"),
                                      QStringLiteral("ウィンドウの幅で折り返します。"), [this] { SetColumns(0); });
    actWrapColumns = AddCheckable(*columns, ColumnsCaption(FColumns), QStringLiteral("折り返す桁数を指定します。"),
                                  [this] { ChooseColumns(); });
    auto* group = new QActionGroup(this);
    group->addAction(actWrapWindowWidth);
    group->addAction(actWrapColumns);
    actWrapColumns->setChecked(true);

    dlgWrapColumns = new TIntegerDialog(this);
    dlgWrapColumns->setObjectName("dlgWrapColumns");
    dlgWrapColumns->SetCaption(QStringLiteral("折り返し桁"));
    dlgWrapColumns->SetMin(TEditorWrapOption::MinWrapByte);
    dlgWrapColumns->SetMax(TEditorWrapOption::MaxWrapByte);
    dlgWrapColumns->SetInformation(QStringLiteral("折り返す桁数 (%1～%2)")
                                       .arg(TEditorWrapOption::MinWrapByte)
                                       .arg(TEditorWrapOption::MaxWrapByte));
    const QString range = QStringLiteral("%1 から %2 までの桁数を入力してください。")
                              .arg(TEditorWrapOption::MinWrapByte)
                              .arg(TEditorWrapOption::MaxWrapByte);
    dlgWrapColumns->SetErrorMessage(range);
    dlgWrapColumns->SetRangeMessage(range);

    FFitTimer.setSingleShot(true);
    FFitTimer.setInterval(FitDelayMs);
    connect(&FFitTimer, &QTimer::timeout, this, &TWrapCommands::ApplyColumns);
    for (TEditor* editor : FEditors)
        editor->installEventFilter(this);
}

QAction* TWrapCommands::AddCheckable(QMenu& Menu, const QString& Caption, const QString& Hint,
                                     const std::function<void()>& Handler)
{
    QAction* action = Menu.addAction(Caption);
    action->setCheckable(true);
    action->setStatusTip(LongHint(Hint));
    connect(action, &QAction::triggered, this, [this, Handler] { FRunCommand(Handler); });
    return action;
}

void TWrapCommands::SetWordWrap(bool Wrap)
{
    actViewWordWrap->setChecked(Wrap);
    for (TEditor* editor : FEditors)
        editor->SetWordWrap(Wrap);
}

// Each change of the options wraps the whole text again: all of them go in at once.
void TWrapCommands::ChangeOptions(TEditor& Editor, const std::function<void(TEditorWrapOption&)>& Change)
{
    TEditorWrapOption options;
    options.Assign(Editor.WrapOption());
    Change(options);
    Editor.WrapOption().Assign(options);
}

void TWrapCommands::ApplyRules()
{
    const bool rules = actWrapRules->isChecked();
    const bool wordBreak = actWrapWordBreak->isChecked();
    for (TEditor* editor : FEditors) {
        const TEditorWrapOption& current = editor->WrapOption();
        if (current.Leading() == rules && current.FollowPunctuation() == rules && current.WordBreak() == wordBreak)
            continue;
        ChangeOptions(*editor, [&](TEditorWrapOption& Options) {
            Options.SetLeading(rules);
            Options.SetFollowPunctuation(rules);
            Options.SetWordBreak(wordBreak);
        });
    }
    if (FToWindow)
        ApplyColumns();
}

// The menu has already checked the item; a cancelled choice puts the check back.
void TWrapCommands::ChooseColumns()
{
    if (dlgWrapColumns->Execute())
        SetColumns(dlgWrapColumns->Value());
    else
        SetColumns(FToWindow ? 0 : FColumns);
}

void TWrapCommands::SetColumns(int Columns)
{
    FToWindow = Columns == 0;
    if (!FToWindow) {
        FColumns = Columns;
        actWrapColumns->setText(ColumnsCaption(Columns));
    }
    (FToWindow ? actWrapWindowWidth : actWrapColumns)->setChecked(true);
    ApplyColumns();
}

void TWrapCommands::FitWindowWidth()
{
    if (FToWindow)
        FFitTimer.start();
}

// At the window's width hanging punctuation stays in view too.
void TWrapCommands::ApplyColumns()
{
    const int hang = actWrapRules->isChecked() ? PunctuationHang : 0;
    for (TEditor* editor : FEditors) {
        const int columns = FToWindow ? std::clamp(editor->VisibleColCount() - hang, TEditorWrapOption::MinWrapByte,
                                                   TEditorWrapOption::MaxWrapByte)
                                      : FColumns;
        if (editor->WrapOption().WrapByte() != columns)
            editor->WrapOption().SetWrapByte(columns);
    }
}

bool TWrapCommands::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::Resize)
        FitWindowWidth();
    return QObject::eventFilter(Watched, Event);
}

void TWrapCommands::ApplySettings(const TKestrimReg& Settings)
{
    SetWordWrap(Settings.WordWrap);
    actWrapRules->setChecked(Settings.WrapRules);
    actWrapWordBreak->setChecked(Settings.WordBreak);
    ApplyRules();
    FColumns = std::clamp(Settings.WrapColumn, TEditorWrapOption::MinWrapByte, TEditorWrapOption::MaxWrapByte);
    actWrapColumns->setText(ColumnsCaption(FColumns));
    SetColumns(Settings.WrapToWindow ? 0 : FColumns);
}

void TWrapCommands::StoreSettings(TKestrimReg& Settings) const
{
    Settings.WordWrap = actViewWordWrap->isChecked();
    Settings.WrapRules = actWrapRules->isChecked();
    Settings.WordBreak = actWrapWordBreak->isChecked();
    Settings.WrapColumn = FColumns;
    Settings.WrapToWindow = FToWindow;
}

} // namespace kestrim
