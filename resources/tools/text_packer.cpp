#include "resources/tools/text_packer.h"

#include <cstdint>

#include "common/system/data_compressor.h"

namespace {

using DC = CDataCompressor;

// Collects digits three to a pair; an escape closes its pair early (the
// unpacker drops the rest of the pair) and its raw bytes follow the pair.
class DigitWriter
{
public:
    void Digit(int digit)
    {
        m_digits[m_count++] = digit;
        if (m_count == 3)
            _Flush();
    }

    void Escape(int digit, const unsigned char* raw, size_t count)
    {
        m_digits[m_count++] = digit;
        _Flush();
        if (digit == DC::nDigitEscapeRun)
            m_out.push_back(static_cast<unsigned char>(count));
        m_out.insert(m_out.end(), raw, raw + count);
    }

    std::vector<unsigned char> Finish()
    {
        if (m_count == 1) {
            m_out.push_back(static_cast<unsigned char>(m_digits[0] + 1));
            m_count = 0;
        } else if (m_count == 2) {
            _Flush();  // the filler is a shift that nothing follows
        }
        return std::move(m_out);
    }

private:
    void _Flush()
    {
        while (m_count < 3)
            m_digits[m_count++] = 0;
        const unsigned value = static_cast<unsigned>(m_digits[0] * 1600 + m_digits[1] * 40 + m_digits[2]);
        m_out.push_back(static_cast<unsigned char>(value / 255 + 1));
        m_out.push_back(static_cast<unsigned char>(value % 255 + 1));
        m_count = 0;
    }

    int m_digits[3] = {0, 0, 0};
    int m_count = 0;
    std::vector<unsigned char> m_out;
};

int nSwitchDigit(int charset)
{
    for (int digit = 4; digit < DC::nDigitFirstChar; ++digit)
        if (DC::_nGetCharset(digit) == charset)
            return digit;
    return -1;
}

int nSetOf(unsigned char byte, int preferred)
{
    if (DC::_nGetValue(byte, preferred) >= 0)
        return preferred;
    for (int set = 0; set < DC::nCharsetCount; ++set)
        if (DC::_nGetValue(byte, set) >= 0)
            return set;
    return -1;
}

}  // namespace

std::vector<unsigned char> PackText(const std::string& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    DigitWriter writer;
    int active = 0;
    size_t k = 0;
    while (k < size) {
        const unsigned char byte = bytes[k];
        const int set = nSetOf(byte, active);
        if (set == active) {
            writer.Digit(DC::_nGetValue(byte, active));
            ++k;
            continue;
        }
        if (set >= 0) {
            // Switch when the next byte too needs this set, else shift once.
            const bool nextToo = k + 1 < size && DC::_nGetValue(bytes[k + 1], active) < 0 &&
                                 DC::_nGetValue(bytes[k + 1], set) >= 0;
            if (nextToo) {
                writer.Digit(nSwitchDigit(set));
                active = set;
            } else {
                writer.Digit(DC::_nGetCharsetSwitch(set));
            }
            writer.Digit(DC::_nGetValue(byte, set));
            ++k;
            continue;
        }
        // Bytes of no set: an escape, reached from set 3 or through a shift to it.
        size_t run = 1;
        while (k + run < size && run < 255 && nSetOf(bytes[k + run], active) < 0)
            ++run;
        if (active != DC::nEscapeCharset)
            writer.Digit(DC::_nGetCharsetSwitch(DC::nEscapeCharset));
        if (run == 1)
            writer.Escape(DC::nDigitEscapeByte, bytes + k, 1);
        else
            writer.Escape(DC::nDigitEscapeRun, bytes + k, run);
        k += run;
    }
    return writer.Finish();
}
