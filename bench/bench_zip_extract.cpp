// Extraction of a deflated archive of mixed files (about 100 MB of content)
// to disk through the archive facade, against a raw zlib inflate loop that
// writes the same files and computes their CRC-32, and against
// "unzip -o -qq" on the same archive. Wall-clock time (unzip runs in a
// child process); the ratios are printed after the table:
//   facade / raw zlib loop   (the goal: at most 1.10)
//   facade / unzip           (the goal: below 1.00)
// VX_BENCH_ZIP_MB sets the content size in MB (default 100).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "installer/vx_win_zip.h"
#include "tests/installer/support/zip_builder.h"

namespace {

struct Fixture
{
    std::string dir;
    std::string archive;
    struct Member
    {
        std::string name;
        uint64_t dataOffset, compressed, uncompressed;
        uint32_t crc;
    };
    std::vector<Member> members;

    Fixture()
    {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        char pattern[] = "/tmp/vxbenchzipXXXXXX";
        dir = mkdtemp(pattern);
        const char* mb = std::getenv("VX_BENCH_ZIP_MB");
        const uint64_t total = (mb != nullptr ? std::strtoull(mb, nullptr, 10) : 100) << 20;
        // Mixed content: large text-like files, incompressible ones, and many
        // small files.
        ziptest::Archive a;
        uint64_t made = 0;
        for (unsigned i = 0; made < total; ++i) {
            ziptest::Entry e;
            const unsigned kind = i % 10;
            size_t size = kind == 0 ? 4u << 20 : kind == 1 ? 1u << 20 : 20000 + (i * 7919) % 60000;
            if (kind == 1) {
                e.data.resize(size);
                uint64_t x = i * 0x9E3779B97F4A7C15ull + 1;
                for (char& c : e.data) {
                    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
                    c = static_cast<char>(x);
                }
            } else {
                e.data = ziptest::Text(size, i);
            }
            char name[64];
            std::snprintf(name, sizeof name, "d%u/f%u.%s", i % 7, i, kind == 1 ? "bin" : "txt");
            e.name = name;
            made += size;
            a.entries.push_back(std::move(e));
        }
        archive = dir + "/bench.zip";
        const std::string bytes = ziptest::Build(a);
        FILE* f = std::fopen(archive.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        // The members' data, from the central directory, for the raw loop.
        const size_t end = bytes.rfind("PK\x05\x06");
        size_t at = static_cast<uint32_t>(static_cast<unsigned char>(bytes[end + 16]) |
                                   static_cast<unsigned char>(bytes[end + 17]) << 8 |
                                   static_cast<unsigned char>(bytes[end + 18]) << 16 |
                                   static_cast<uint32_t>(static_cast<unsigned char>(bytes[end + 19])) << 24);
        auto le = [&](size_t p, int n) {
            uint64_t v = 0;
            for (int k = n - 1; k >= 0; --k)
                v = v << 8 | static_cast<unsigned char>(bytes[p + k]);
            return v;
        };
        while (le(at, 4) == 0x02014b50) {
            Member m;
            const size_t n = le(at + 28, 2), x = le(at + 30, 2), c = le(at + 32, 2);
            m.name = bytes.substr(at + 46, n);
            m.crc = static_cast<uint32_t>(le(at + 16, 4));
            m.compressed = le(at + 20, 4);
            m.uncompressed = le(at + 24, 4);
            const uint64_t local = le(at + 42, 4);
            m.dataOffset = local + 30 + le(local + 26, 2) + le(local + 28, 2);
            members.push_back(m);
            at += 46 + n + x + c;
        }
        mkdir((dir + "/out").c_str(), 0755);
        for (int d = 0; d < 7; ++d)
            mkdir((dir + "/out/d" + std::to_string(d)).c_str(), 0755);
    }
    ~Fixture() { std::system(("rm -rf '" + dir + "'").c_str()); }
};

Fixture& Data()
{
    static Fixture fixture;
    return fixture;
}

void BM_Extract_facade(benchmark::State& state)
{
    Fixture& f = Data();
    const std::wstring archive(f.archive.begin(), f.archive.end());
    for (auto _ : state) {
        CVXWinZip zip;
        if (zip.eOuvreArchive(archive.c_str(), 0, 0) != 0) {
            state.SkipWithError("open failed");
            return;
        }
        for (unsigned long i = 0; i < zip.dwNombreFichier(); ++i) {
            std::wstring target(f.dir.begin(), f.dir.end());
            target += L"/out/";
            target += zip.pszNomFichier(i);
            for (wchar_t& c : target)
                c = c == L'\\' ? L'/' : c;
            if (zip.eExtraitFichier(zip.pszNomFichier(i), target.c_str(), 0, nullptr, 0, 0) != 0) {
                state.SkipWithError("extraction failed");
                return;
            }
        }
    }
}

void BM_Extract_rawzlib(benchmark::State& state)
{
    Fixture& f = Data();
    std::vector<unsigned char> in(1 << 16), out(1 << 16);
    for (auto _ : state) {
        const int src = open(f.archive.c_str(), O_RDONLY);
        for (const Fixture::Member& m : f.members) {
            const int dst = open((f.dir + "/out/" + m.name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            z_stream z{};
            inflateInit2(&z, -15);
            uint64_t left = m.compressed, at = m.dataOffset;
            uint32_t crc = 0;
            int rc = Z_OK;
            while (rc != Z_STREAM_END) {
                if (z.avail_in == 0 && left > 0) {
                    const size_t n = left < in.size() ? left : in.size();
                    const ssize_t got = pread(src, in.data(), n, static_cast<off_t>(at));
                    if (got <= 0)
                        break;
                    at += got, left -= got;
                    z.next_in = in.data(), z.avail_in = static_cast<uInt>(got);
                }
                z.next_out = out.data(), z.avail_out = static_cast<uInt>(out.size());
                rc = inflate(&z, Z_SYNC_FLUSH);
                const size_t produced = out.size() - z.avail_out;
                crc = static_cast<uint32_t>(crc32(crc, out.data(), static_cast<uInt>(produced)));
                if (write(dst, out.data(), produced) != static_cast<ssize_t>(produced) || (rc != Z_OK && rc != Z_STREAM_END))
                    break;
            }
            inflateEnd(&z);
            close(dst);
            if (crc != m.crc) {
                state.SkipWithError("CRC mismatch in the raw loop");
                close(src);
                return;
            }
        }
        close(src);
    }
}

void BM_Extract_unzip(benchmark::State& state)
{
    Fixture& f = Data();
    if (std::system("command -v unzip >/dev/null 2>&1") != 0) {
        state.SkipWithError("unzip is not installed");
        return;
    }
    const std::string command = "unzip -o -qq '" + f.archive + "' -d '" + f.dir + "/out'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("unzip failed");
            return;
        }
    }
}

BENCHMARK(BM_Extract_facade)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Extract_rawzlib)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Extract_unzip)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Wall-clock ratios of the facade against both baselines of the same run.
class WallRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_real[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nratios of wall-clock time (content %s MB)\n",
                    std::getenv("VX_BENCH_ZIP_MB") != nullptr ? std::getenv("VX_BENCH_ZIP_MB") : "100");
        auto ratio = [&](const char* baseline) {
            const auto m = m_real.find("BM_Extract_facade/iterations:3/real_time");
            const auto b = m_real.find(std::string("BM_Extract_") + baseline + "/iterations:3/real_time");
            if (m != m_real.end() && b != m_real.end() && b->second > 0)
                std::printf("  facade / %-10s %6.2f\n", baseline, m->second / b->second);
        };
        ratio("rawzlib");
        ratio("unzip");
    }

private:
    std::map<std::string, double> m_real;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    WallRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
