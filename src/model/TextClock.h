// The date-and-time text stamped into written files; tests and --stamp fix it.
#pragma once

#include <string>

class TextClock {
public:
    virtual ~TextClock() = default;
    // Local date and time, "dd.mm.yyyy hh:mm:ss".
    virtual std::string Now() const = 0;
};

class SystemClock : public TextClock {
public:
    std::string Now() const override;
};

class FixedClock : public TextClock {
public:
    explicit FixedClock(std::string text) : text_(std::move(text)) {}
    std::string Now() const override { return text_; }

private:
    std::string text_;
};
