#pragma once
// The exception classes shared by every layer. Messages are UTF-8 text meant for the user;
// Shift-JIS bytes that go into a message are converted first (CodePage.h).

#include <stdexcept>
#include <string>

namespace kestrim {

// The general exception: an error the user is told about in a message box.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
};

// A bad index into one of the line lists.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be opened or read.
class EFOpenError : public Exception {
public:
    using Exception::Exception;
};

// A file that cannot be created or written.
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// A text that does not convert to the number it should hold.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The silent abort: ends an operation and every operation that called it, without a message.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

// The text of the list-index error.
extern const char* const SListIndexError;

// Raises EStringListError unless 0 <= Index < Count.
void CheckListIndex(int Index, int Count);

} // namespace kestrim
