#include "app/MainActions.h"

#include "app/ToolIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>

namespace kestrim {
namespace {

struct TCommand {
    const char* Name;
    const char* Caption;
    QKeySequence Shortcut;
    const char* Hint;
};

QAction* MakeAction(QObject* Owner, const TCommand& Command)
{
    auto* action = new QAction(QString::fromUtf8(Command.Caption), Owner);
    action->setObjectName(QString::fromUtf8(Command.Name));
    action->setShortcut(Command.Shortcut);
    const QString hint = QString::fromUtf8(Command.Hint);
    action->setToolTip(hint.isEmpty() ? QString() : ShortHint(hint));
    action->setStatusTip(LongHint(hint));
    return action;
}

QAction* MakeAction(QObject* Owner, const TCommand& Command, TToolIcon Icon)
{
    QAction* action = MakeAction(Owner, Command);
    action->setIcon(ToolIcon(Icon));
    return action;
}

QAction* MakeCheckable(QObject* Owner, const TCommand& Command)
{
    QAction* action = MakeAction(Owner, Command);
    action->setCheckable(true);
    return action;
}

constexpr auto Ctrl = Qt::CTRL;

} // namespace

QString ShortHint(const QString& Hint)
{
    return Hint.section(QLatin1Char('|'), 0, 0);
}

// The text after the last bar, so that a hint written with a doubled bar does not show a
// stray "|" in the status bar.
QString LongHint(const QString& Hint)
{
    return Hint.section(QLatin1Char('|'), -1);
}

TMainActions::TMainActions(QObject* Owner)
{
    actNew = MakeAction(Owner, {"actNew", "新規作成(&N)...", Ctrl | Qt::Key_N,
                                "新規作成|新しいファイルを作成します。"}, TToolIcon::New);
    actLoad = MakeAction(Owner, {"actLoad", "開く(&O)...", Ctrl | Qt::Key_O,
                                 "開く|スクリプトファイルを開きます。"}, TToolIcon::Open);
    actSave = MakeAction(Owner, {"actSave", "上書き保存(&S)", Ctrl | Qt::Key_S,
                                 "上書き保存|編集中のファイルを保存します。"}, TToolIcon::Save);
    actSaveAs = MakeAction(Owner, {"actSaveAs", "名前を付けて保存(&A)...", {},
                                   "名前を付けて保存|新しいファイル名で保存します。"});

    actWorkbenchNew = MakeAction(Owner, {"actWorkbenchNew", "新しいワークベンチ(&K)", {},
                                         "新しいワークベンチ|スクリプトとサンプルを空にして新しいワークベンチを始めます。"});
    actWorkbenchOpen = MakeAction(Owner, {"actWorkbenchOpen", "ワークベンチを開く(&W)...", Ctrl | Qt::SHIFT | Qt::Key_O,
                                          "ワークベンチを開く|スクリプト、サンプル、言語をまとめたワークベンチファイルを開きます。"});
    actWorkbenchSave = MakeAction(Owner, {"actWorkbenchSave", "ワークベンチを保存(&B)", Ctrl | Qt::SHIFT | Qt::Key_S,
                                          "ワークベンチを保存|スクリプト、サンプル、言語をワークベンチファイルに保存します。"});
    actWorkbenchSaveAs = MakeAction(Owner, {"actWorkbenchSaveAs", "ワークベンチに名前を付けて保存(&I)...", {},
                                            "ワークベンチに名前を付けて保存|ワークベンチを新しいファイル名で保存します。"});

    actReopenEncoding = MakeAction(Owner, {"actReopenEncoding", "別の文字コードで開き直す(&R)", {},
                                           "開き直す|表示中のタブのファイルを別の文字コードで開き直します。"});
    actConvertEncoding = MakeAction(Owner, {"actConvertEncoding", "別の文字コードに変換(&V)", {},
                                            "変換|表示中のタブのテキストを別の文字コードに変換します。"});

    actUndo = MakeAction(Owner, {"actUndo", "元に戻す(&U)", Ctrl | Qt::Key_Z,
                                 "元に戻す|直前の操作を取り消します。"});
    actRedo = MakeAction(Owner, {"actRedo", "やり直し(&R)", Ctrl | Qt::ALT | Qt::Key_Z,
                                 "やり直し|元に戻した操作をやり直します。"});
    // The keys other editors redo with work too; the first stays the one the menu shows.
    actRedo->setShortcuts({actRedo->shortcut(), Ctrl | Qt::Key_Y, Ctrl | Qt::SHIFT | Qt::Key_Z});
    actCut = MakeAction(Owner, {"actCut", "切り取り(&T)", Ctrl | Qt::Key_X,
                                "切り取り|クリップボードにコピーしてから削除します。"}, TToolIcon::Cut);
    actCopy = MakeAction(Owner, {"actCopy", "コピー(&C)", Ctrl | Qt::Key_C,
                                 "コピー|クリップボードにコピーします。"}, TToolIcon::Copy);
    actPaste = MakeAction(Owner, {"actPaste", "貼り付け(&P)", Ctrl | Qt::Key_V,
                                  "貼り付け|クリップボードの内容を貼り付けます。"}, TToolIcon::Paste);
    actSelectAll = MakeAction(Owner, {"actSelectAll", "すべて選択(&A)", Ctrl | Qt::Key_A,
                                      "すべて選択|全体を選択します。"});
    actSelectWord = MakeAction(Owner, {"actSelectWord", "単語選択", {}, ""});
    actFind = MakeAction(Owner, {"actFind", "検索(&F)", Ctrl | Qt::Key_F,
                                 "検索|検索ダイアログを表示します。"});
    actFindNext = MakeAction(Owner, {"actFindNext", "次を検索(&N)", Qt::Key_F3,
                                     "次を検索|検索ダイアログの文字列を後ろへ検索します。"});
    actFindPrev = MakeAction(Owner, {"actFindPrev", "前を検索(&V)", Qt::SHIFT | Qt::Key_F3,
                                     "前を検索|検索ダイアログの文字列を前へ検索します。"});

    actViewScript = MakeCheckable(Owner, {"actViewScript", "スクリプトタブ(&S)", Ctrl | Qt::Key_1,
                                          "スクリプト|スクリプトタブを表示します。"});
    actViewData = MakeCheckable(Owner, {"actViewData", "データタブ(&D)", Ctrl | Qt::Key_2,
                                        "データ|データタブを表示します。"});
    actViewResult = MakeCheckable(Owner, {"actViewResult", "結果タブ(&R)", Ctrl | Qt::Key_3,
                                          "結果|結果タブを表示します。"});
    actViewWeb = MakeCheckable(Owner, {"actViewWeb", "Webタブ(&W)", Ctrl | Qt::Key_4,
                                       "Web|Webタブを表示します。"});
    grpViewPage = new QActionGroup(Owner);
    for (QAction* action : {actViewScript, actViewData, actViewResult, actViewWeb})
        grpViewPage->addAction(action);

    actViewWorkbench = MakeCheckable(Owner, {"actViewWorkbench", "並べて表示(&J)", {},
                                             "並べて表示|スクリプト、データ、結果を並べて表示するかどうかを切り替えます。"});
    actViewWorkbench->setIcon(ToolIcon(TToolIcon::Workbench));
    actViewSamples = MakeCheckable(Owner, {"actViewSamples", "サンプル一覧(&I)", {},
                                           "サンプル一覧|データタブの上にサンプルの一覧を表示するかどうかを切り替えます。"});
    actViewExpected = MakeCheckable(Owner, {"actViewExpected", "期待値を表示(&X)", {},
                                            "期待値を表示|結果の下に現在のサンプルの期待値を表示するかどうかを切り替えます。"});

    actMoveTop = MakeAction(Owner, {"actMoveTop", "先頭へ移動(&H)", {},
                                    "先頭へ移動|カーソルを先頭に移動します。"});
    actMoveLineNumber = MakeAction(Owner, {"actMoveLineNumber", "指定行へ移動(&A)", Ctrl | Qt::Key_G,
                                           "指定行へ移動|カーソルを指定した行に移動します。"});
    actMoveBottom = MakeAction(Owner, {"actMoveBottom", "最後へ移動(&E)", {},
                                       "最後へ移動|カーソルを最後に移動します。"});
    actViewStatusBar = MakeCheckable(Owner, {"actViewStatusBar", "ステータスバー(&B)", {},
                                             "ステータスバーの表示／非表示を切り替えます。"});
    actViewToolBar = MakeCheckable(Owner, {"actViewToolBar", "ツールバー(&T)", {},
                                           "ツールバーの表示／非表示を切り替えます。"});

    actViewChanges = MakeCheckable(Owner, {"actViewChanges", "変更箇所を表示(&M)", {},
                                           "変更箇所を表示|結果タブの行がデータタブの行とどう違うかを両方のタブに示します。"});
    actNextChange = MakeAction(Owner, {"actNextChange", "次の変更箇所(&N)", Qt::Key_F8,
                                       "次の変更箇所|カーソルを次の変更箇所に移動します。"});
    actPrevChange = MakeAction(Owner, {"actPrevChange", "前の変更箇所(&P)", Qt::SHIFT | Qt::Key_F8,
                                       "前の変更箇所|カーソルを前の変更箇所に移動します。"});
    actNextChange->setEnabled(false);
    actPrevChange->setEnabled(false);

    actRun = MakeAction(Owner, {"actRun", "実行(&R)", Qt::Key_F9, "実行|スクリプトを実行します。"},
                        TToolIcon::Run);
    actTerminate = MakeAction(Owner, {"actTerminate", "中断", Ctrl | Qt::Key_F2,
                                      "中断|実行中のプログラムを中断します。"}, TToolIcon::Stop);
    actTerminate->setEnabled(false);
    actRunClipboard = MakeAction(
        Owner,
        {"actRunClipboard", "クリップボードで実行(&C)", Ctrl | Qt::Key_F9,
         "クリップボードで実行|クリップボードのデータをデータタブに貼り付けてから実行して、"
         "実行結果をクリップボードにコピーします。"},
        TToolIcon::RunClipboard);
    actLiveRun = MakeCheckable(Owner, {"actLiveRun", "自動実行", {},
                                       "自動実行|入力が止まるたびにスクリプトを実行して、結果を最新に保ちます。"});
    actLiveRun->setIcon(ToolIcon(TToolIcon::LiveRun));
    actRunAllSamples = MakeAction(Owner, {"actRunAllSamples", "すべてのサンプルで実行(&A)", Qt::SHIFT | Qt::Key_F9,
                                          "すべてのサンプルで実行|スクリプトをサンプルごとに順に実行して、"
                                          "結果を期待値と比べます。"});
    actResultToExpected = MakeAction(Owner, {"actResultToExpected", "結果を期待値にする(&E)", {},
                                             "結果を期待値にする|結果タブの内容を現在のサンプルの期待値にします。"});
    actResultToExpected->setIconText(QStringLiteral("結果を期待値にする")); // no key on the tool button

    actFont = MakeAction(Owner, {"actFont", "フォント(&F)...", {}, "フォント|フォントの設定を行います。"});
    actConfig = MakeAction(Owner, {"actConfig", "設定ファイル読み込み(&S)...", {},
                                   "設定ファイル読み込み||設定ファイルを読み込みます。"},
                           TToolIcon::LoadConfig);

    actDataClear = MakeAction(Owner, {"actDataClear", "クリア(&C)", {}, "クリア|データをクリアします。"},
                              TToolIcon::Clear);
    actDataOpen = MakeAction(Owner, {"actDataOpen", "開く(&O)", {}, "開く|データファイルを開きます。"},
                             TToolIcon::Open);
    actDataSave = MakeAction(Owner, {"actDataSave", "保存(&S)", {}, "保存|データをファイルに保存します。"},
                             TToolIcon::Save);
    actResultCopy = MakeAction(Owner, {"actResultCopy", "結果をコピー(&C)", {},
                                       "結果をコピー|クリップボードに結果をコピーします。"},
                               TToolIcon::Copy);
    actResultSave = MakeAction(Owner, {"actResultSave", "actResultSave", {}, "保存|結果を保存します。"},
                               TToolIcon::Save);

    actWebBack = MakeAction(Owner, {"actWebBack", "戻る(&B)", {}, "戻る|一つ前に戻ります。"},
                            TToolIcon::Back);
    actWebForward = MakeAction(Owner, {"actWebForward", "進む(&F)", {}, "進む|一つ先に進みます。"},
                               TToolIcon::Forward);

    mniExit = MakeAction(Owner, {"mniExit", "終了(&X)", Ctrl | Qt::Key_Q, "アプリケーションを終了します。"});
    mniHelp = MakeAction(Owner, {"mniHelp", "ヘルプ(&H)", Qt::Key_F1, "ヘルプファイルを開きます。"});
    mniAbout = MakeAction(Owner, {"mniAbout", "バージョン情報(&A)", {}, "バージョン情報を表示します。"});
}

QList<QAction*> TMainActions::All() const
{
    return {actNew,          actLoad,         actSave,           actSaveAs,       actReopenEncoding,
            actConvertEncoding, actUndo,
            actRedo,         actCut,          actCopy,           actPaste,        actSelectAll,
            actSelectWord,   actFind,         actFindNext,       actFindPrev,     actViewScript,
            actViewData,     actViewResult,   actViewWeb,        actMoveTop,      actMoveLineNumber,
            actMoveBottom,   actViewStatusBar, actViewToolBar,   actViewChanges,  actNextChange,
            actPrevChange,   actRun,          actTerminate,
            actRunClipboard, actLiveRun,      actFont,           actConfig,       actDataClear,
            actDataOpen,     actDataSave,     actResultCopy,     actResultSave,   actWebBack,
            actWebForward,   mniExit,         mniHelp,           mniAbout,        actViewWorkbench,
            actWorkbenchNew, actWorkbenchOpen, actWorkbenchSave, actWorkbenchSaveAs, actViewSamples,
            actViewExpected, actRunAllSamples, actResultToExpected};
}

} // namespace kestrim
