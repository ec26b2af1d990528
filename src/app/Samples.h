#pragma once
// TSamples: the data page's samples. Each has a name, its data and perhaps an expected result;
// the current one is in the data editor (and its expected result in the expected-result
// editor), where F9, live runs and the data commands find it; the others are kept as the bytes
// of their texts.

#include "editor/text/Workbench.h"

#include <QObject>

#include <cstddef>
#include <vector>

namespace kestrim {

class TSamples : public QObject {
    Q_OBJECT

public:
    // The samples as they stand: the current one's data and expected result as its editors hold
    // them, in their pages' encodings and file formats.
    std::vector<TSample> Samples() const;
    std::size_t Current() const;
    // Puts Samples (at least one) in place of all; the current one goes into the editors, whose
    // undo histories start anew. Not a change: Modified is false after it.
    void Reset(std::vector<TSample> Samples, std::size_t Current);
    // One empty sample in the default encoding, as the program starts.
    void Clear();
    // Whether the samples hold more than the data page alone would: several samples, or an
    // expected result. Only then is there a workbench to save or to ask about.
    bool InUse() const;
    // Whether anything changed since Reset, Clear or MarkSaved: a sample's data, name or
    // expected result, the order, an added or removed sample.
    bool Modified() const;
    void MarkSaved();

signals:
    // Modified or InUse may have changed.
    void Changed();
};

} // namespace kestrim
