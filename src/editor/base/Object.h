#pragma once
// The roots of the class tree: TObject, which every object that sends events derives from,
// and TPersistent, an object whose values can be copied from another of its kind.

namespace kestrim {

class TObject {
public:
    virtual ~TObject() = default;
};

class TPersistent : public TObject {
public:
    // Copies Source's values; raises Exception when Source is not of a kind this object can take.
    virtual void Assign(const TPersistent& Source);
};

} // namespace kestrim
