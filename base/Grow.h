// The one way of calling the Win32 functions that write a text into the caller's buffer.
#pragma once

#include <cstddef>
#include <string>

// fill(buffer, capacity) writes the text into buffer and returns its length, which is below
// capacity when the text fit. When it did not fit, fill returns a capacity that will be enough, and
// it returns 0 for a failure. FillGrowing calls fill with larger buffers until the text fits. It
// returns false, with text empty, when the call failed or gave no text.
template <class C> using TFill = size_t (*)(C* buffer, size_t capacity, const void* context);
bool FillGrowing(std::string& text, TFill<char> fill, const void* context);
bool FillGrowing(std::wstring& text, TFill<wchar_t> fill, const void* context);

// The same for any callable, such as a lambda. The callable is passed on through a plain function
// pointer, so one compiled loop serves every call instead of one copy of the loop per lambda.
template <class C, class F> bool FillGrowing(std::basic_string<C>& text, const F& fill) {
    return FillGrowing(
        text,
        [](C* buffer, size_t capacity, const void* f) -> size_t {
            return (*static_cast<const F*>(f))(buffer, capacity);
        },
        &fill);
}
