// A failure as a value: the report in the program's own words and the system's error, carried up
// to the one place that prints it as one error line and decides the exit code.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Format.h"
#include "Text.h"

inline constexpr char kErrorLinePrefix[] = "error: ";

// Returns the report with the system's error that caused it after it, in the form both programs
// end such a line with.
inline constexpr std::string_view kCauseLabel = " Code = ";
inline std::string WithCause(std::string_view text, DWORD error) {
    return error ? Join({text, kCauseLabel, Decimal(error)}) : std::string(text);
}

struct TFailure {
    bool Failed = false;
    std::string Text; // the report; empty for a failure that says nothing but its exit code
    DWORD Error = 0;  // the system's error, 0 where no call failed
    // A command that goes on after a failure (one file of many) reports every failure, each with
    // its own cause; the reports after the first are kept here.
    std::vector<std::string> More;
    explicit operator bool() const { return Failed; }
    void Add(TFailure later) {
        if (!Failed) {
            *this = std::move(later);
            return;
        }
        if (!later.Failed)
            return;
        if (!later.Text.empty())
            More.push_back(WithCause(later.Text, later.Error));
        for (auto& more : later.More)
            More.push_back(std::move(more));
    }
};

inline TFailure Failure(std::string text, DWORD error = 0) {
    TFailure f;
    f.Failed = true;
    f.Text = std::move(text);
    f.Error = error;
    return f;
}
// A failure with no text: its exit code says everything there is to say.
inline TFailure SilentFailure() {
    return Failure(std::string());
}
// Running out of memory has one report line of its own, whatever the work was, so this failure
// carries only the error and no text.
inline TFailure OutOfMemoryFailure() {
    return Failure(std::string(), ERROR_NOT_ENOUGH_MEMORY);
}
