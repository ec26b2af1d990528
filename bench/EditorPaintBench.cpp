// Painting of the editor control, on the offscreen platform, each paint forced at once.
//
// Repaint/<w>x<h>: the whole view of highlighted Perl painted again (targets: 1920 x 1080,
// 67 rows x 237 columns, 12 ms; 60 rows x 120 columns, 3 ms). DrawTextBaseline: the same view
// drawn by a plain widget, one fillRect and one drawText per row, measured in the same run.
// ScrollOneRow: the view moves by a row; only the exposed row is painted (target 2 ms).
// CaretDown: the Down key through a text of 2,000,000 rows with its paint (target 1 ms).
// CtrlEnd: Ctrl+End on a freshly loaded text of 100 MB in 2,000,000 rows, painted (100 ms).
// TokenColors: tokens with their colours as painting asks for them (target 150 MB/s);
// Tokens: the same tokens without colours, the tokenizer alone.
//
// Repaint with "marks" 1 shows change marks: every line changed, with two runs of changed
// characters, and a gap line above every fifth line; marks 0 in the same run is its baseline.
//
// Repaint, ScrollOneRow and CaretDown take the text as "text": 0 the script in Shift-JIS, 1 the
// script with Japanese comments in Shift-JIS, 2 the same characters in UTF-8.
//
// Per-step figures: median, 99th percentile and worst step in milliseconds, as counters.

#include "PerlScript.h"

#include "editor/base/MemoryStream.h"
#include "editor/base/TextConversion.h"
#include "editor/control/EditorControl.h"
#include "editor/control/EditorFonts.h"
#include "editor/control/SjisQString.h"
#include "editor/highlight/edFountainParser.h"
#include "editor/text/ChangeMarks.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace kestrim;
using namespace kestrim::bench;

namespace {

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "bench_paint";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = [] {
        auto* made = new QApplication(argc, argv); // lives to the end of the process
        SubstituteEditorFonts();
        return made;
    }();
    return *app;
}

// Rows of the script joined until each fills Width columns: every cell of the view is drawn.
std::string WideScript(int Rows, int Width)
{
    const std::vector<std::string> lines = PerlRows(Rows * 8);
    std::string text;
    std::size_t next = 0;
    for (int row = 0; row < Rows; ++row) {
        std::string wide;
        while (static_cast<int>(wide.size()) < Width)
            wide += lines[next++ % lines.size()] + "  ";
        text += wide.substr(0, static_cast<std::size_t>(Width)) + "\r\n";
    }
    return text;
}

enum TBenchText { btAscii, btJapaneseSjis, btJapaneseUtf8 };

// Every other row of Text gets a Japanese comment in place of its end, in Shift-JIS.
std::string WithJapanese(const std::string& Text)
{
    static const std::string comment =
        ConvertText("# 日本語のコメント、漢字とかなとカナ。全角ＡＢＣと半角ｶﾅ！", TTextEncoding::Utf8, TTextEncoding::ShiftJis).Text;
    TStringList lines;
    lines.SetText(Text);
    std::string out;
    out.reserve(Text.size() + Text.size() / 8);
    for (int i = 0; i < lines.Count(); ++i) {
        std::string line = lines.Get(i);
        if (i % 2 == 1 && line.size() > comment.size())
            line.replace(line.size() - comment.size(), comment.size(), comment);
        out += line + "\r\n";
    }
    return out;
}

// Text (ASCII) as the benchmark's text asks for it, in the editor.
void SetBenchText(TEditor& Editor, const std::string& Text, int Kind)
{
    if (Kind == btAscii) {
        Editor.Lines().SetText(Text);
        return;
    }
    const std::string sjis = WithJapanese(Text);
    if (Kind == btJapaneseSjis)
        Editor.SetEncodedText(sjis, TTextEncoding::ShiftJis);
    else
        Editor.SetEncodedText(ConvertText(sjis, TTextEncoding::ShiftJis, TTextEncoding::Utf8).Text, TTextEncoding::Utf8);
}

// A script of RowCount rows of about RowBytes bytes each.
std::string LongScript(int RowCount, int RowBytes)
{
    const std::vector<std::string> lines = PerlRows(4096);
    std::string text;
    text.reserve(static_cast<std::size_t>(RowCount) * (static_cast<std::size_t>(RowBytes) + 2));
    for (int row = 0; row < RowCount; ++row) {
        std::string line = lines[static_cast<std::size_t>(row) % lines.size()];
        line.resize(static_cast<std::size_t>(RowBytes), ' ');
        text += line;
        text += "\r\n";
    }
    return text;
}

// The script editor as the main window sets it up, with the bars shown and Perl highlighting.
void ConfigureEditor(TEditor& Editor)
{
    Editor.SetFont(DefaultEditorFont());
    Editor.Ruler().SetVisible(true);
    Editor.Leftbar().SetVisible(true);
    Editor.Marks().RetMark().SetVisible(true);
    Editor.Marks().EofMark().SetVisible(true);
    TEditorColors& colors = Editor.View().Colors();
    colors.Comment().SetColor(0x008000);
    colors.Reserve().SetColor(0xFF0000);
    colors.Reserve().SetStyle({fsBold});
    colors.Str().SetColor(0x0000C0);
    colors.Int().SetColor(0x800080);
    colors.Select().SetColor(clWhite);
    colors.Select().SetBkColor(clNavy);
    ConfigurePerl(Editor.View().Fountain());
}

void Flush()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// Shows the editor with a view of Rows x Cols cells.
void ShowSized(TEditor& Editor, int Rows, int Cols)
{
    Editor.show();
    const QFontMetrics font(Editor.Font());
    const int cell = font.horizontalAdvance(QLatin1Char('0'));
    const int pitch = font.height() + font.leading();
    QSize size(200 + Cols * cell, 100 + Rows * pitch);
    for (int tries = 0; tries < 10; ++tries) {
        Editor.resize(size);
        Flush();
        const int rows = Rows - Editor.VisibleRowCount();
        const int cols = Cols - Editor.VisibleColCount();
        if (rows == 0 && cols == 0)
            return;
        size += QSize(cols * cell, rows * pitch);
    }
}

// Steps timed one by one: the median, the 99th percentile and the worst.
class TSteps {
public:
    void Add(double Ms) { FMs.push_back(Ms); }
    void Report(benchmark::State& State)
    {
        if (FMs.empty())
            return;
        std::sort(FMs.begin(), FMs.end());
        const auto at = [&](double Fraction) {
            return FMs[std::min(FMs.size() - 1, static_cast<std::size_t>(Fraction * static_cast<double>(FMs.size())))];
        };
        State.counters["median_ms"] = at(0.5);
        State.counters["p99_ms"] = at(0.99);
        State.counters["worst_ms"] = FMs.back();
    }

private:
    std::vector<double> FMs;
};

double ElapsedMs(const QElapsedTimer& Timer)
{
    return static_cast<double>(Timer.nsecsElapsed()) / 1e6;
}

// Every line changed, as a comparison of a script with its every line edited marks it.
class TEveryLineChanged : public TChangeMarks {
public:
    TLineMarkInfo LineMark(int Line) const override { return {TLineMark::Changed, Line, Line % 5 == 0}; }
    std::vector<TByteRange> ChangedBytes(int /*Line*/) const override { return {{4, 10}, {20, 30}}; }
};

void Repaint(benchmark::State& State)
{
    Application();
    const int rows = static_cast<int>(State.range(0));
    const int cols = static_cast<int>(State.range(1));
    TEditor editor;
    ConfigureEditor(editor);
    SetBenchText(editor, WideScript(rows + 10, cols + 10), static_cast<int>(State.range(2)));
    ShowSized(editor, rows, cols);
    editor.SetRowCol(2, 10);
    editor.InitSelection();
    editor.SetRowCol(4, 30);
    editor.SelectionToCaret();
    if (State.range(3) != 0)
        editor.SetChangeMarks(std::make_shared<TEveryLineChanged>());
    Flush();
    TSteps steps;
    for (auto _ : State) {
        QElapsedTimer timer;
        timer.start();
        editor.viewport()->repaint();
        const double ms = ElapsedMs(timer);
        steps.Add(ms);
        State.SetIterationTime(ms / 1e3);
    }
    steps.Report(State);
    State.counters["rows"] = editor.VisibleRowCount();
    State.counters["cols"] = editor.VisibleColCount();
}

// The same cells drawn by a plain widget: one fill and one text output per row.
class TDrawTextView : public QWidget {
public:
    std::vector<QString> Rows;
    int RowPitch = 16;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        const int ascent = painter.fontMetrics().ascent();
        for (std::size_t row = 0; row < Rows.size(); ++row)
            painter.drawText(0, static_cast<int>(row) * RowPitch + ascent, Rows[row]);
    }
};

void DrawTextBaseline(benchmark::State& State)
{
    Application();
    const int rows = static_cast<int>(State.range(0));
    const int cols = static_cast<int>(State.range(1));
    TDrawTextView view;
    view.setFont(DefaultEditorFont());
    TStringList lines;
    lines.SetText(WideScript(rows, cols));
    for (int row = 0; row < lines.Count(); ++row)
        view.Rows.push_back(SjisToQString(lines.Get(row)));
    view.RowPitch = QFontMetrics(view.font()).height();
    view.resize(QFontMetrics(view.font()).horizontalAdvance('0') * cols, view.RowPitch * rows);
    view.show();
    Flush();
    TSteps steps;
    for (auto _ : State) {
        QElapsedTimer timer;
        timer.start();
        view.repaint();
        const double ms = ElapsedMs(timer);
        steps.Add(ms);
        State.SetIterationTime(ms / 1e3);
    }
    steps.Report(State);
}

void ScrollOneRow(benchmark::State& State)
{
    Application();
    TEditor editor;
    ConfigureEditor(editor);
    SetBenchText(editor, WideScript(20000, 247), static_cast<int>(State.range(0)));
    ShowSized(editor, 67, 237);
    Flush();
    int painted = 0;
    editor.OnDrawLine = [&](const std::string&, int, int, int, const QRect&, bool) { ++painted; };
    TSteps steps;
    int step = 0;
    for (auto _ : State) {
        QElapsedTimer timer;
        timer.start();
        editor.SetTopRow(editor.TopRow() + (step++ % 2000 < 1000 ? 1 : -1));
        Flush();
        const double ms = ElapsedMs(timer);
        steps.Add(ms);
        State.SetIterationTime(ms / 1e3);
    }
    steps.Report(State);
    State.counters["row_pieces_per_step"] = static_cast<double>(painted) / static_cast<double>(std::max(1, step));
}

void CaretDown(benchmark::State& State)
{
    Application();
    TEditor editor;
    ConfigureEditor(editor);
    SetBenchText(editor, LongScript(2'000'000, 48), static_cast<int>(State.range(0)));
    ShowSized(editor, 67, 237);
    editor.setFocus();
    editor.SetRowCol(1'000'000, 5);
    Flush();
    TSteps steps;
    for (auto _ : State) {
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&editor, Qt::Key_Down);
        Flush();
        const double ms = ElapsedMs(timer);
        steps.Add(ms);
        State.SetIterationTime(ms / 1e3);
    }
    steps.Report(State);
    State.counters["row"] = editor.Row();
}

void CtrlEnd(benchmark::State& State)
{
    Application();
    const std::string text = LongScript(2'000'000, 48);
    TSteps steps;
    for (auto _ : State) {
        TEditor editor;
        ConfigureEditor(editor);
        ShowSized(editor, 67, 237);
        TMemoryStream stream(text);
        editor.Lines().LoadFromStream(stream);
        editor.setFocus();
        Flush();
        QElapsedTimer timer;
        timer.start();
        QTest::keyClick(&editor, Qt::Key_End, Qt::ControlModifier);
        Flush();
        const double ms = ElapsedMs(timer);
        steps.Add(ms);
        State.SetIterationTime(ms / 1e3);
        if (editor.Row() < 1'999'999)
            State.SkipWithError("Ctrl+End did not reach the last row");
    }
    steps.Report(State);
    State.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

// The rows of the script as one list, parsed one by one as painting does.
template <bool WithColors>
void TokenPass(benchmark::State& State)
{
    TEditorFountain fountain;
    ConfigurePerl(fountain);
    const std::vector<std::string> rows = PerlRows(200'000);
    std::size_t bytes = 0;
    for (const std::string& row : rows)
        bytes += row.size();
    auto parser = fountain.NewParser();
    for (auto _ : State)
        benchmark::DoNotOptimize(ParseRowsAsPainted<WithColors>(*parser, rows));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * bytes));
}

void TokenColors(benchmark::State& State)
{
    TokenPass<true>(State);
}

void Tokens(benchmark::State& State)
{
    TokenPass<false>(State);
}

} // namespace

BENCHMARK(Repaint)
    ->Args({67, 237, btAscii, 0})
    ->Args({60, 120, btAscii, 0})
    ->Args({67, 237, btJapaneseSjis, 0})
    ->Args({67, 237, btJapaneseUtf8, 0})
    ->Args({67, 237, btAscii, 1})
    ->Args({67, 237, btJapaneseUtf8, 1})
    ->ArgNames({"rows", "cols", "text", "marks"})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(DrawTextBaseline)->Args({67, 237})->Args({60, 120})->ArgNames({"rows", "cols"})->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollOneRow)->DenseRange(btAscii, btJapaneseUtf8)->ArgName("text")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2000);
BENCHMARK(CaretDown)->DenseRange(btAscii, btJapaneseUtf8)->ArgName("text")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2000);
BENCHMARK(CtrlEnd)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(TokenColors)->Unit(benchmark::kMillisecond);
BENCHMARK(Tokens)->Unit(benchmark::kMillisecond);
