#pragma once

// Composite key values as the host gives them: the components' bytes one
// after the other, in a byte-buffer runtime value.
#include <string>

#include "common/text/any.h"

namespace vxtest {

inline CAny Key(const std::string& bytes)
{
    CAny v;
    v.SetBIN(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    return v;
}

// A component's bytes as the machine holds them.
template <class T>
std::string Bytes(T t)
{
    return std::string(reinterpret_cast<const char*>(&t), sizeof t);
}

// A text component padded with zeros to its width.
inline std::string Padded(std::string s, size_t nWidth)
{
    s.resize(nWidth, '\0');
    return s;
}

}  // namespace vxtest
