// Writes the sort-weight table of 16-bit units, tabUCS2FastSort, as a C++
// source: one weight per unit, every weight used once, each entry stored
// high byte first so that weights copied into a key compare with memcmp.
//
// The order: U+0000 first; controls; white space; punctuation and symbols;
// digits (each digit value with its forms in other scripts, 0 to 9); the
// Latin letters a to z, each as its lower case, upper case, full-width forms
// and accented forms before the next letter; Cyrillic; the unified CJK
// ideographs; U+FFFE and U+FFFF last. Some units sit at fixed weights that
// keys built elsewhere rely on; the units the order does not name fill the
// remaining weights in code order, those that are not letters first, so that
// every letter weighs more than every digit.
//
// Usage: ucs2_fast_sort_gen <output.cpp>. Exits non-zero, writing nothing
// usable, when the fixed weights cannot all be honoured.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Plage
{
    unsigned premier, dernier;
};

// Letters of the Basic Multilingual Plane (general category L, Unicode 14.0.0):
// first and last unit of each run.
const Plage kLettres[] = {
    {0x0041, 0x005A}, {0x0061, 0x007A}, {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA}, {0x00C0, 0x00D6},
    {0x00D8, 0x00F6}, {0x00F8, 0x02C1}, {0x02C6, 0x02D1}, {0x02E0, 0x02E4}, {0x02EC, 0x02EC}, {0x02EE, 0x02EE},
    {0x0370, 0x0374}, {0x0376, 0x0377}, {0x037A, 0x037D}, {0x037F, 0x037F}, {0x0386, 0x0386}, {0x0388, 0x038A},
    {0x038C, 0x038C}, {0x038E, 0x03A1}, {0x03A3, 0x03F5}, {0x03F7, 0x0481}, {0x048A, 0x052F}, {0x0531, 0x0556},
    {0x0559, 0x0559}, {0x0560, 0x0588}, {0x05D0, 0x05EA}, {0x05EF, 0x05F2}, {0x0620, 0x064A}, {0x066E, 0x066F},
    {0x0671, 0x06D3}, {0x06D5, 0x06D5}, {0x06E5, 0x06E6}, {0x06EE, 0x06EF}, {0x06FA, 0x06FC}, {0x06FF, 0x06FF},
    {0x0710, 0x0710}, {0x0712, 0x072F}, {0x074D, 0x07A5}, {0x07B1, 0x07B1}, {0x07CA, 0x07EA}, {0x07F4, 0x07F5},
    {0x07FA, 0x07FA}, {0x0800, 0x0815}, {0x081A, 0x081A}, {0x0824, 0x0824}, {0x0828, 0x0828}, {0x0840, 0x0858},
    {0x0860, 0x086A}, {0x0870, 0x0887}, {0x0889, 0x088E}, {0x08A0, 0x08C9}, {0x0904, 0x0939}, {0x093D, 0x093D},
    {0x0950, 0x0950}, {0x0958, 0x0961}, {0x0971, 0x0980}, {0x0985, 0x098C}, {0x098F, 0x0990}, {0x0993, 0x09A8},
    {0x09AA, 0x09B0}, {0x09B2, 0x09B2}, {0x09B6, 0x09B9}, {0x09BD, 0x09BD}, {0x09CE, 0x09CE}, {0x09DC, 0x09DD},
    {0x09DF, 0x09E1}, {0x09F0, 0x09F1}, {0x09FC, 0x09FC}, {0x0A05, 0x0A0A}, {0x0A0F, 0x0A10}, {0x0A13, 0x0A28},
    {0x0A2A, 0x0A30}, {0x0A32, 0x0A33}, {0x0A35, 0x0A36}, {0x0A38, 0x0A39}, {0x0A59, 0x0A5C}, {0x0A5E, 0x0A5E},
    {0x0A72, 0x0A74}, {0x0A85, 0x0A8D}, {0x0A8F, 0x0A91}, {0x0A93, 0x0AA8}, {0x0AAA, 0x0AB0}, {0x0AB2, 0x0AB3},
    {0x0AB5, 0x0AB9}, {0x0ABD, 0x0ABD}, {0x0AD0, 0x0AD0}, {0x0AE0, 0x0AE1}, {0x0AF9, 0x0AF9}, {0x0B05, 0x0B0C},
    {0x0B0F, 0x0B10}, {0x0B13, 0x0B28}, {0x0B2A, 0x0B30}, {0x0B32, 0x0B33}, {0x0B35, 0x0B39}, {0x0B3D, 0x0B3D},
    {0x0B5C, 0x0B5D}, {0x0B5F, 0x0B61}, {0x0B71, 0x0B71}, {0x0B83, 0x0B83}, {0x0B85, 0x0B8A}, {0x0B8E, 0x0B90},
    {0x0B92, 0x0B95}, {0x0B99, 0x0B9A}, {0x0B9C, 0x0B9C}, {0x0B9E, 0x0B9F}, {0x0BA3, 0x0BA4}, {0x0BA8, 0x0BAA},
    {0x0BAE, 0x0BB9}, {0x0BD0, 0x0BD0}, {0x0C05, 0x0C0C}, {0x0C0E, 0x0C10}, {0x0C12, 0x0C28}, {0x0C2A, 0x0C39},
    {0x0C3D, 0x0C3D}, {0x0C58, 0x0C5A}, {0x0C5D, 0x0C5D}, {0x0C60, 0x0C61}, {0x0C80, 0x0C80}, {0x0C85, 0x0C8C},
    {0x0C8E, 0x0C90}, {0x0C92, 0x0CA8}, {0x0CAA, 0x0CB3}, {0x0CB5, 0x0CB9}, {0x0CBD, 0x0CBD}, {0x0CDD, 0x0CDE},
    {0x0CE0, 0x0CE1}, {0x0CF1, 0x0CF2}, {0x0D04, 0x0D0C}, {0x0D0E, 0x0D10}, {0x0D12, 0x0D3A}, {0x0D3D, 0x0D3D},
    {0x0D4E, 0x0D4E}, {0x0D54, 0x0D56}, {0x0D5F, 0x0D61}, {0x0D7A, 0x0D7F}, {0x0D85, 0x0D96}, {0x0D9A, 0x0DB1},
    {0x0DB3, 0x0DBB}, {0x0DBD, 0x0DBD}, {0x0DC0, 0x0DC6}, {0x0E01, 0x0E30}, {0x0E32, 0x0E33}, {0x0E40, 0x0E46},
    {0x0E81, 0x0E82}, {0x0E84, 0x0E84}, {0x0E86, 0x0E8A}, {0x0E8C, 0x0EA3}, {0x0EA5, 0x0EA5}, {0x0EA7, 0x0EB0},
    {0x0EB2, 0x0EB3}, {0x0EBD, 0x0EBD}, {0x0EC0, 0x0EC4}, {0x0EC6, 0x0EC6}, {0x0EDC, 0x0EDF}, {0x0F00, 0x0F00},
    {0x0F40, 0x0F47}, {0x0F49, 0x0F6C}, {0x0F88, 0x0F8C}, {0x1000, 0x102A}, {0x103F, 0x103F}, {0x1050, 0x1055},
    {0x105A, 0x105D}, {0x1061, 0x1061}, {0x1065, 0x1066}, {0x106E, 0x1070}, {0x1075, 0x1081}, {0x108E, 0x108E},
    {0x10A0, 0x10C5}, {0x10C7, 0x10C7}, {0x10CD, 0x10CD}, {0x10D0, 0x10FA}, {0x10FC, 0x1248}, {0x124A, 0x124D},
    {0x1250, 0x1256}, {0x1258, 0x1258}, {0x125A, 0x125D}, {0x1260, 0x1288}, {0x128A, 0x128D}, {0x1290, 0x12B0},
    {0x12B2, 0x12B5}, {0x12B8, 0x12BE}, {0x12C0, 0x12C0}, {0x12C2, 0x12C5}, {0x12C8, 0x12D6}, {0x12D8, 0x1310},
    {0x1312, 0x1315}, {0x1318, 0x135A}, {0x1380, 0x138F}, {0x13A0, 0x13F5}, {0x13F8, 0x13FD}, {0x1401, 0x166C},
    {0x166F, 0x167F}, {0x1681, 0x169A}, {0x16A0, 0x16EA}, {0x16F1, 0x16F8}, {0x1700, 0x1711}, {0x171F, 0x1731},
    {0x1740, 0x1751}, {0x1760, 0x176C}, {0x176E, 0x1770}, {0x1780, 0x17B3}, {0x17D7, 0x17D7}, {0x17DC, 0x17DC},
    {0x1820, 0x1878}, {0x1880, 0x1884}, {0x1887, 0x18A8}, {0x18AA, 0x18AA}, {0x18B0, 0x18F5}, {0x1900, 0x191E},
    {0x1950, 0x196D}, {0x1970, 0x1974}, {0x1980, 0x19AB}, {0x19B0, 0x19C9}, {0x1A00, 0x1A16}, {0x1A20, 0x1A54},
    {0x1AA7, 0x1AA7}, {0x1B05, 0x1B33}, {0x1B45, 0x1B4C}, {0x1B83, 0x1BA0}, {0x1BAE, 0x1BAF}, {0x1BBA, 0x1BE5},
    {0x1C00, 0x1C23}, {0x1C4D, 0x1C4F}, {0x1C5A, 0x1C7D}, {0x1C80, 0x1C88}, {0x1C90, 0x1CBA}, {0x1CBD, 0x1CBF},
    {0x1CE9, 0x1CEC}, {0x1CEE, 0x1CF3}, {0x1CF5, 0x1CF6}, {0x1CFA, 0x1CFA}, {0x1D00, 0x1DBF}, {0x1E00, 0x1F15},
    {0x1F18, 0x1F1D}, {0x1F20, 0x1F45}, {0x1F48, 0x1F4D}, {0x1F50, 0x1F57}, {0x1F59, 0x1F59}, {0x1F5B, 0x1F5B},
    {0x1F5D, 0x1F5D}, {0x1F5F, 0x1F7D}, {0x1F80, 0x1FB4}, {0x1FB6, 0x1FBC}, {0x1FBE, 0x1FBE}, {0x1FC2, 0x1FC4},
    {0x1FC6, 0x1FCC}, {0x1FD0, 0x1FD3}, {0x1FD6, 0x1FDB}, {0x1FE0, 0x1FEC}, {0x1FF2, 0x1FF4}, {0x1FF6, 0x1FFC},
    {0x2071, 0x2071}, {0x207F, 0x207F}, {0x2090, 0x209C}, {0x2102, 0x2102}, {0x2107, 0x2107}, {0x210A, 0x2113},
    {0x2115, 0x2115}, {0x2119, 0x211D}, {0x2124, 0x2124}, {0x2126, 0x2126}, {0x2128, 0x2128}, {0x212A, 0x212D},
    {0x212F, 0x2139}, {0x213C, 0x213F}, {0x2145, 0x2149}, {0x214E, 0x214E}, {0x2183, 0x2184}, {0x2C00, 0x2CE4},
    {0x2CEB, 0x2CEE}, {0x2CF2, 0x2CF3}, {0x2D00, 0x2D25}, {0x2D27, 0x2D27}, {0x2D2D, 0x2D2D}, {0x2D30, 0x2D67},
    {0x2D6F, 0x2D6F}, {0x2D80, 0x2D96}, {0x2DA0, 0x2DA6}, {0x2DA8, 0x2DAE}, {0x2DB0, 0x2DB6}, {0x2DB8, 0x2DBE},
    {0x2DC0, 0x2DC6}, {0x2DC8, 0x2DCE}, {0x2DD0, 0x2DD6}, {0x2DD8, 0x2DDE}, {0x2E2F, 0x2E2F}, {0x3005, 0x3006},
    {0x3031, 0x3035}, {0x303B, 0x303C}, {0x3041, 0x3096}, {0x309D, 0x309F}, {0x30A1, 0x30FA}, {0x30FC, 0x30FF},
    {0x3105, 0x312F}, {0x3131, 0x318E}, {0x31A0, 0x31BF}, {0x31F0, 0x31FF}, {0x3400, 0x4DBF}, {0x4E00, 0xA48C},
    {0xA4D0, 0xA4FD}, {0xA500, 0xA60C}, {0xA610, 0xA61F}, {0xA62A, 0xA62B}, {0xA640, 0xA66E}, {0xA67F, 0xA69D},
    {0xA6A0, 0xA6E5}, {0xA717, 0xA71F}, {0xA722, 0xA788}, {0xA78B, 0xA7CA}, {0xA7D0, 0xA7D1}, {0xA7D3, 0xA7D3},
    {0xA7D5, 0xA7D9}, {0xA7F2, 0xA801}, {0xA803, 0xA805}, {0xA807, 0xA80A}, {0xA80C, 0xA822}, {0xA840, 0xA873},
    {0xA882, 0xA8B3}, {0xA8F2, 0xA8F7}, {0xA8FB, 0xA8FB}, {0xA8FD, 0xA8FE}, {0xA90A, 0xA925}, {0xA930, 0xA946},
    {0xA960, 0xA97C}, {0xA984, 0xA9B2}, {0xA9CF, 0xA9CF}, {0xA9E0, 0xA9E4}, {0xA9E6, 0xA9EF}, {0xA9FA, 0xA9FE},
    {0xAA00, 0xAA28}, {0xAA40, 0xAA42}, {0xAA44, 0xAA4B}, {0xAA60, 0xAA76}, {0xAA7A, 0xAA7A}, {0xAA7E, 0xAAAF},
    {0xAAB1, 0xAAB1}, {0xAAB5, 0xAAB6}, {0xAAB9, 0xAABD}, {0xAAC0, 0xAAC0}, {0xAAC2, 0xAAC2}, {0xAADB, 0xAADD},
    {0xAAE0, 0xAAEA}, {0xAAF2, 0xAAF4}, {0xAB01, 0xAB06}, {0xAB09, 0xAB0E}, {0xAB11, 0xAB16}, {0xAB20, 0xAB26},
    {0xAB28, 0xAB2E}, {0xAB30, 0xAB5A}, {0xAB5C, 0xAB69}, {0xAB70, 0xABE2}, {0xAC00, 0xD7A3}, {0xD7B0, 0xD7C6},
    {0xD7CB, 0xD7FB}, {0xF900, 0xFA6D}, {0xFA70, 0xFAD9}, {0xFB00, 0xFB06}, {0xFB13, 0xFB17}, {0xFB1D, 0xFB1D},
    {0xFB1F, 0xFB28}, {0xFB2A, 0xFB36}, {0xFB38, 0xFB3C}, {0xFB3E, 0xFB3E}, {0xFB40, 0xFB41}, {0xFB43, 0xFB44},
    {0xFB46, 0xFBB1}, {0xFBD3, 0xFD3D}, {0xFD50, 0xFD8F}, {0xFD92, 0xFDC7}, {0xFDF0, 0xFDFB}, {0xFE70, 0xFE74},
    {0xFE76, 0xFEFC}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, {0xFF66, 0xFFBE}, {0xFFC2, 0xFFC7}, {0xFFCA, 0xFFCF},
    {0xFFD2, 0xFFD7}, {0xFFDA, 0xFFDC},
};

// The digit zero of each run of decimal digits 0-9 (general category Nd).
const char16_t kZeros[] = {
    0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0BE6, 0x0C66, 0x0CE6, 0x0D66, 0x0DE6,
    0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x1090, 0x17E0, 0x1810, 0x1946, 0x19D0, 0x1A80, 0x1A90, 0x1B50, 0x1BB0, 0x1C40,
    0x1C50, 0xA620, 0xA8D0, 0xA900, 0xA9D0, 0xA9F0, 0xAA50, 0xABF0, 0xFF10,
};

// The accented forms of each Latin letter a-z, ordered by their marks (in
// canonical decomposition) and, for one mark, the lower case first.
const char16_t* const kAccents[26] = {
    u"\u00E0\u00C0\u00E1\u00C1\u00E2\u00C2\u1EA7\u1EA6\u1EA5\u1EA4\u1EAB\u1EAA\u1EA9\u1EA8\u00E3\u00C3"
      u"\u0101\u0100\u0103\u0102\u1EB1\u1EB0\u1EAF\u1EAE\u1EB5\u1EB4\u1EB3\u1EB2\u0227\u0226\u01E1\u01E0"
      u"\u00E4\u00C4\u01DF\u01DE\u1EA3\u1EA2\u00E5\u00C5\u01FB\u01FA\u01CE\u01CD\u0201\u0200\u0203\u0202"
      u"\u1EA1\u1EA0\u1EAD\u1EAC\u1EB7\u1EB6\u1E01\u1E00\u0105\u0104",  // a
    u"\u1E03\u1E02\u1E05\u1E04\u1E07\u1E06",  // b
    u"\u0107\u0106\u0109\u0108\u010B\u010A\u010D\u010C\u00E7\u00C7\u1E09\u1E08",  // c
    u"\u1E0B\u1E0A\u010F\u010E\u1E0D\u1E0C\u1E11\u1E10\u1E13\u1E12\u1E0F\u1E0E",  // d
    u"\u00E8\u00C8\u00E9\u00C9\u00EA\u00CA\u1EC1\u1EC0\u1EBF\u1EBE\u1EC5\u1EC4\u1EC3\u1EC2\u1EBD\u1EBC"
      u"\u0113\u0112\u1E15\u1E14\u1E17\u1E16\u0115\u0114\u0117\u0116\u00EB\u00CB\u1EBB\u1EBA\u011B\u011A"
      u"\u0205\u0204\u0207\u0206\u1EB9\u1EB8\u1EC7\u1EC6\u0229\u0228\u1E1D\u1E1C\u0119\u0118\u1E19\u1E18"
      u"\u1E1B\u1E1A",  // e
    u"\u1E1F\u1E1E",  // f
    u"\u01F5\u01F4\u011D\u011C\u1E21\u1E20\u011F\u011E\u0121\u0120\u01E7\u01E6\u0123\u0122",  // g
    u"\u0125\u0124\u1E23\u1E22\u1E27\u1E26\u021F\u021E\u1E25\u1E24\u1E29\u1E28\u1E2B\u1E2A\u1E96",  // h
    u"\u00EC\u00CC\u00ED\u00CD\u00EE\u00CE\u0129\u0128\u012B\u012A\u012D\u012C\u0130\u00EF\u00CF\u1E2F"
      u"\u1E2E\u1EC9\u1EC8\u01D0\u01CF\u0209\u0208\u020B\u020A\u1ECB\u1ECA\u012F\u012E\u1E2D\u1E2C",  // i
    u"\u0135\u0134\u01F0",  // j
    u"\u1E31\u1E30\u01E9\u01E8\u1E33\u1E32\u0137\u0136\u1E35\u1E34",  // k
    u"\u013A\u0139\u013E\u013D\u1E37\u1E36\u1E39\u1E38\u013C\u013B\u1E3D\u1E3C\u1E3B\u1E3A",  // l
    u"\u1E3F\u1E3E\u1E41\u1E40\u1E43\u1E42",  // m
    u"\u01F9\u01F8\u0144\u0143\u00F1\u00D1\u1E45\u1E44\u0148\u0147\u1E47\u1E46\u0146\u0145\u1E4B\u1E4A"
      u"\u1E49\u1E48",  // n
    u"\u00F2\u00D2\u00F3\u00D3\u00F4\u00D4\u1ED3\u1ED2\u1ED1\u1ED0\u1ED7\u1ED6\u1ED5\u1ED4\u00F5\u00D5"
      u"\u1E4D\u1E4C\u022D\u022C\u1E4F\u1E4E\u014D\u014C\u1E51\u1E50\u1E53\u1E52\u014F\u014E\u022F\u022E"
      u"\u0231\u0230\u00F6\u00D6\u022B\u022A\u1ECF\u1ECE\u0151\u0150\u01D2\u01D1\u020D\u020C\u020F\u020E"
      u"\u01A1\u01A0\u1EDD\u1EDC\u1EDB\u1EDA\u1EE1\u1EE0\u1EDF\u1EDE\u1EE3\u1EE2\u1ECD\u1ECC\u1ED9\u1ED8"
      u"\u01EB\u01EA\u01ED\u01EC",  // o
    u"\u1E55\u1E54\u1E57\u1E56",  // p
    u"",  // q
    u"\u0155\u0154\u1E59\u1E58\u0159\u0158\u0211\u0210\u0213\u0212\u1E5B\u1E5A\u1E5D\u1E5C\u0157\u0156"
      u"\u1E5F\u1E5E",  // r
    u"\u015B\u015A\u1E65\u1E64\u015D\u015C\u1E61\u1E60\u0161\u0160\u1E67\u1E66\u1E63\u1E62\u1E69\u1E68"
      u"\u0219\u0218\u015F\u015E",  // s
    u"\u1E6B\u1E6A\u1E97\u0165\u0164\u1E6D\u1E6C\u021B\u021A\u0163\u0162\u1E71\u1E70\u1E6F\u1E6E",  // t
    u"\u00F9\u00D9\u00FA\u00DA\u00FB\u00DB\u0169\u0168\u1E79\u1E78\u016B\u016A\u1E7B\u1E7A\u016D\u016C"
      u"\u00FC\u00DC\u01DC\u01DB\u01D8\u01D7\u01D6\u01D5\u01DA\u01D9\u1EE7\u1EE6\u016F\u016E\u0171\u0170"
      u"\u01D4\u01D3\u0215\u0214\u0217\u0216\u01B0\u01AF\u1EEB\u1EEA\u1EE9\u1EE8\u1EEF\u1EEE\u1EED\u1EEC"
      u"\u1EF1\u1EF0\u1EE5\u1EE4\u1E73\u1E72\u0173\u0172\u1E77\u1E76\u1E75\u1E74",  // u
    u"\u1E7D\u1E7C\u1E7F\u1E7E",  // v
    u"\u1E81\u1E80\u1E83\u1E82\u0175\u0174\u1E87\u1E86\u1E85\u1E84\u1E98\u1E89\u1E88",  // w
    u"\u1E8B\u1E8A\u1E8D\u1E8C",  // x
    u"\u1EF3\u1EF2\u00FD\u00DD\u0177\u0176\u1EF9\u1EF8\u0233\u0232\u1E8F\u1E8E\u00FF\u0178\u1EF7\u1EF6"
      u"\u1E99\u1EF5\u1EF4",  // y
    u"\u017A\u0179\u1E91\u1E90\u017C\u017B\u017E\u017D\u1E93\u1E92\u1E95\u1E94",  // z
};

constexpr unsigned NB = 0x10000;
constexpr int LIBRE = -1;

struct Element
{
    unsigned unite;
    int poids;  // fixed weight, or LIBRE
};

bool bLettre(unsigned u)
{
    for (const Plage& p : kLettres)
        if (u >= p.premier && u <= p.dernier)
            return true;
    return false;
}

void Ajoute(std::vector<Element>& ordre, unsigned u, int poids = LIBRE)
{
    ordre.push_back({u, poids});
}

void AjoutePlage(std::vector<Element>& ordre, unsigned premier, unsigned dernier)
{
    for (unsigned u = premier; u <= dernier; ++u)
        Ajoute(ordre, u);
}

// The named order, with the fixed weights.
std::vector<Element> Ordre()
{
    std::vector<Element> o;
    Ajoute(o, 0x0000, 0x0000);
    AjoutePlage(o, 0x0001, 0x0008);
    AjoutePlage(o, 0x000E, 0x001F);
    AjoutePlage(o, 0x007F, 0x0084);
    AjoutePlage(o, 0x0086, 0x009F);

    // White space.
    Ajoute(o, 0x0009, 0x0A35);
    AjoutePlage(o, 0x000A, 0x000D);
    Ajoute(o, 0x0085);
    Ajoute(o, 0x0020, 0x0A3D);
    Ajoute(o, 0x00A0);
    AjoutePlage(o, 0x2000, 0x200A);
    Ajoute(o, 0x202F);
    Ajoute(o, 0x205F);
    Ajoute(o, 0x3000);

    // Punctuation and symbols: the hyphen-minus first.
    Ajoute(o, 0x002D, 0x0A80);
    for (const char* p = "_,;:!?.'\"()[]{}@*/\\&#%`^+<=>|~$"; *p; ++p)
        Ajoute(o, static_cast<unsigned char>(*p));
    for (unsigned u = 0x00A1; u <= 0x00BF; ++u)
        if (!bLettre(u) && u != 0x00B2 && u != 0x00B3 && u != 0x00B9)
            Ajoute(o, u);
    Ajoute(o, 0x00D7);
    Ajoute(o, 0x00F7);

    // Digits: each value with its forms in the other scripts.
    for (unsigned d = 0; d <= 9; ++d) {
        for (char16_t zero : kZeros) {
            const int poids = zero != u'0' ? LIBRE : d == 0 ? 0x1684 : d == 9 ? 0x1851 : LIBRE;
            Ajoute(o, zero + d, poids);
        }
    }

    // Latin letters.
    for (unsigned i = 0; i < 26; ++i) {
        const unsigned minuscule = 'a' + i, majuscule = 'A' + i;
        const struct
        {
            unsigned lettre;
            int min, maj;
        } fixes[] = {{'a', 0x1877, 0x187B}, {'b', 0x18D8, 0x18DB}, {'e', 0x1959, 0x195F}, {'z', 0x1D4C, 0x1D4F}};
        int pMin = LIBRE, pMaj = LIBRE;
        for (const auto& f : fixes)
            if (f.lettre == minuscule)
                pMin = f.min, pMaj = f.maj;
        Ajoute(o, minuscule, pMin);
        Ajoute(o, majuscule, pMaj);
        Ajoute(o, 0xFF41 + i);
        Ajoute(o, 0xFF21 + i);
        for (const char16_t* p = kAccents[i]; *p; ++p) {
            int poids = LIBRE;
            if (*p == 0x00E0)
                poids = 0x1884;
            else if (*p == 0x00C0)
                poids = 0x1885;
            else if (*p == 0x00E9)
                poids = 0x1966;
            Ajoute(o, *p, poids);
        }
    }

    // Cyrillic: lower case, then upper case, letter by letter.
    Ajoute(o, 0x0430, 0x1F77);
    Ajoute(o, 0x0410, 0x1F78);
    for (unsigned u = 0x0431; u <= 0x044F; ++u) {
        Ajoute(o, u);
        Ajoute(o, u - 0x20);
    }
    for (unsigned u = 0x0450; u <= 0x045F; ++u) {
        Ajoute(o, u);
        Ajoute(o, u - 0x50);
    }
    for (unsigned u = 0x0460; u <= 0x04FF; u += 2) {
        Ajoute(o, u + 1);
        Ajoute(o, u);
    }

    // Unified CJK ideographs in code order.
    Ajoute(o, 0x4E00, 0x64BB);
    AjoutePlage(o, 0x4E01, 0x9FFF);

    Ajoute(o, 0xFFFE, 0xFFFE);
    Ajoute(o, 0xFFFF, 0xFFFF);
    return o;
}

bool bEchec(const char* pszMessage, unsigned u)
{
    std::fprintf(stderr, "ucs2_fast_sort_gen: %s (U+%04X)\n", pszMessage, u);
    return false;
}

bool bConstruit(std::vector<int>& poids)
{
    poids.assign(NB, LIBRE);
    std::vector<bool> pris(NB, false);
    unsigned courant = 0;
    for (const Element& e : Ordre()) {
        if (poids[e.unite] != LIBRE)
            return bEchec("unit named twice", e.unite);
        if (e.poids != LIBRE) {
            if (static_cast<unsigned>(e.poids) < courant)
                return bEchec("the units named before it pass its fixed weight", e.unite);
            courant = static_cast<unsigned>(e.poids);
        }
        if (courant >= NB)
            return bEchec("weights exhausted", e.unite);
        poids[e.unite] = static_cast<int>(courant);
        pris[courant] = true;
        ++courant;
    }
    // The rest, in code order: units that are not letters, then letters.
    unsigned libre = 0;
    for (int passe = 0; passe < 2; ++passe) {
        for (unsigned u = 0; u < NB; ++u) {
            if (poids[u] != LIBRE || bLettre(u) != (passe == 1))
                continue;
            while (pris[libre])
                ++libre;
            poids[u] = static_cast<int>(libre);
            pris[libre] = true;
        }
    }
    // Every letter after every digit.
    int poidsChiffreMax = 0;
    for (char16_t zero : kZeros)
        for (unsigned d = 0; d <= 9; ++d)
            if (poids[zero + d] > poidsChiffreMax)
                poidsChiffreMax = poids[zero + d];
    for (unsigned u = 0; u < NB; ++u)
        if (bLettre(u) && poids[u] <= poidsChiffreMax)
            return bEchec("a letter weighs less than a digit", u);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ucs2_fast_sort_gen <output.cpp>\n");
        return 2;
    }
    std::vector<int> poids;
    if (!bConstruit(poids))
        return 1;
    std::string texte =
        "// Generated by ucs2_fast_sort_gen (common/text/tools): do not edit.\n"
        "#include \"common/text/ucs2_fast_sort.h\"\n\n"
        "// Each weight stored high byte first: the numbers below are the weights\n"
        "// with their two bytes swapped.\n"
        "alignas(64) const uint16_t tabUCS2FastSort[65536] = {\n";
    char element[16];
    for (unsigned u = 0; u < NB; ++u) {
        const unsigned w = static_cast<unsigned>(poids[u]);
        std::snprintf(element, sizeof element, "%s0x%04X,", u % 12 == 0 ? "    " : " ", ((w & 0xFF) << 8) | (w >> 8));
        texte += element;
        if (u % 12 == 11 || u == NB - 1)
            texte += '\n';
    }
    texte += "};\n";
    // Written to a temporary name and renamed, so that a failed run leaves no
    // half-written table behind.
    const std::string temporaire = std::string(argv[1]) + ".tmp";
    FILE* f = std::fopen(temporaire.c_str(), "w");
    if (f == nullptr || std::fwrite(texte.data(), 1, texte.size(), f) != texte.size() || std::fclose(f) != 0) {
        std::perror(temporaire.c_str());
        return 1;
    }
    if (std::rename(temporaire.c_str(), argv[1]) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
