#pragma once
// The first step of every setter: store a new value, and tell whether anything changed.

namespace cport {

template <typename T> bool change(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace cport
