#pragma once
// TPagePane: a pane that a page shows above or below its editor on request (the samples above
// the data, the expected result under the result), in a splitter that takes the editor's place
// in the page. Hidden, the page looks as it did without it.

#include <QObject>

class QSplitter;
class QWidget;

namespace kestrim {

class TPagePane : public QObject {
    Q_OBJECT

public:
    enum TPlace { Above, Below };

    // Pane goes beside Editor, which must stand in a layout; hidden until SetShown.
    TPagePane(QWidget& Editor, QWidget& Pane, TPlace Place, const char* SplitterName);

    bool Shown() const;
    void SetShown(bool Shown);
    // The pane's share of the splitter's height in thousandths (the settings' shares), the one
    // it had when last shown.
    int Share() const;
    void SetShare(int Share);

private:
    void ApplyShare();
    void RememberShare();

    QWidget& FPane;
    QSplitter* FSplitter;
    int FPaneIndex;
    int FShare;
};

} // namespace kestrim
