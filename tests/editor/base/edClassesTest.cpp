#include "editor/base/edClasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kestrim;

namespace {

// An option object with one value, as the editor's option objects are built.
class TSample : public TNotifyPersistent {
public:
    int Value() const { return FValue; }
    void SetValue(int Value) { Store(FValue, Value); }

private:
    int FValue = 0;
};

// Records the senders it was called with.
class TListener : public TObject {
public:
    explicit TListener(std::string Name, std::vector<std::string>* Log) : FName(std::move(Name)), FLog(Log) {}
    void Notify(TObject* Sender)
    {
        FLog->push_back(FName);
        LastSender = Sender;
    }
    TObject* LastSender = nullptr;

private:
    std::string FName;
    std::vector<std::string>* FLog;
};

class TSampleItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Touch() { Changed(false); }
    void Assign(const TPersistent& Source) override { Value = dynamic_cast<const TSampleItem&>(Source).Value; }
    int Value = 0;
};

class TSampleCollection : public TNotifyCollection {
public:
    using TNotifyCollection::TNotifyCollection;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<TSampleItem>(this); }
};

class TPerlFiles : public TFileExtComponent {
protected:
    void InitFileExtList() override
    {
        FileExtList().Add(".pl");
        FileExtList().Add(".pm");
    }
};

} // namespace

TEST(NotifyPersistent, FiresOnlyOnRealChangesAndOncePerBatch)
{
    TSample sample;
    int fired = 0;
    sample.OnChange = TNotifyEvent([&](TObject* sender) {
        EXPECT_EQ(sender, &sample);
        ++fired;
    });
    sample.SetValue(0);
    EXPECT_EQ(fired, 0);
    sample.SetValue(1);
    EXPECT_EQ(fired, 1);
    sample.BeginUpdate();
    sample.SetValue(2);
    sample.SetValue(3);
    sample.SetValue(4);
    EXPECT_EQ(fired, 1);
    sample.EndUpdate();
    EXPECT_EQ(fired, 2);
    sample.BeginUpdate();
    sample.EndUpdate(); // the final EndUpdate fires even when nothing changed
    EXPECT_EQ(fired, 3);
}

TEST(NotifyPersistent, ChangedProcIgnoresTheOwnerItself)
{
    TSample owner, sub;
    int fired = 0;
    owner.OnChange = TNotifyEvent([&](TObject*) { ++fired; });
    sub.OnChange = TNotifyEvent::Of<&TNotifyPersistent::ChangedProc>(&owner);
    sub.SetValue(5);
    EXPECT_EQ(fired, 1);
    owner.ChangedProc(&owner);
    EXPECT_EQ(fired, 1);
}

TEST(NotifyEventList, CallsHandlersInOrderWithTheOwnerAndRemovesByIdentity)
{
    std::vector<std::string> log;
    TObject owner;
    TListener a("a", &log), b("b", &log), c("c", &log);
    TNotifyEventList list(&owner);
    list.Add(TNotifyEvent::Of<&TListener::Notify>(&a));
    list.Add(TNotifyEvent::Of<&TListener::Notify>(&b));
    list.Add(TNotifyEvent::Of<&TListener::Notify>(&c));
    list.Add(TNotifyEvent::Of<&TListener::Notify>(&a));
    list.Changed();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c", "a"}));
    EXPECT_EQ(b.LastSender, &owner);

    // removing a handler added twice removes the later copy
    list.Remove(TNotifyEvent::Of<&TListener::Notify>(&a));
    log.clear();
    list.Changed();
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));

    list.Remove(TNotifyEvent([](TObject*) {})); // a handler without identity matches nothing
    list.BeginUpdate();
    list.Changed();
    EXPECT_EQ(list.Count(), 3);
    log.clear();
    list.EndUpdate();
    EXPECT_EQ(log.size(), 3u);
}

TEST(NotifyCollection, ItemChangesReachTheOwnerUnlessUpdating)
{
    TObject owner;
    TSampleCollection collection(&owner);
    int fired = 0;
    collection.OnChange = TNotifyEvent([&](TObject*) { ++fired; });
    auto* item = static_cast<TSampleItem*>(collection.Add());
    EXPECT_EQ(fired, 1);
    item->Touch();
    EXPECT_EQ(fired, 2);
    collection.BeginUpdate();
    item->Touch();
    collection.Add();
    EXPECT_EQ(fired, 2);
    collection.EndUpdate();
    EXPECT_EQ(fired, 3);
    EXPECT_EQ(collection.Items(1)->Index(), 1);

    item->Value = 7;
    TSampleCollection copy(&owner);
    copy.Assign(collection);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(static_cast<TSampleItem*>(copy.Items(0))->Value, 7);
    collection.ChangedProc(&collection);
    EXPECT_EQ(fired, 3);
}

TEST(FileExtComponent, DefaultExtensionsAndCaseInsensitiveLookup)
{
    TPerlFiles files;
    EXPECT_TRUE(files.HasExtension(".PL"));
    EXPECT_TRUE(files.HasExtension(".pm"));
    EXPECT_FALSE(files.HasExtension(".p"));
    TStringList other;
    other.Add(".txt");
    other.Add(".TXT");
    files.SetFileExtList(other);
    EXPECT_EQ(files.FileExtList().Count(), 1);
    EXPECT_FALSE(files.HasExtension(".pl"));
}
