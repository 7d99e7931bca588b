// run_probe ROUNDS REFERENCE_EXE [WINESERVER_UNIX_PID [CLOCK_TICKS]]
// Measures Quorvel's runs of the tool (its test double, from QUORVEL_FAKE_TOOL; quorvel.exe from
// QUORVEL_EXE) against run_reference doing the same work, taking turns, a fresh process for every
// measurement:
//   speed    the tool writes 16 MB in 80-byte lines; time from the press until the box holds it
//   waiting  the tool is silent for 10 s; Quorvel's processor time over the run's wall time
//   perfile  200 list entries, the tool exits at once; time of the whole run
//   memory   peak resident and peak private resident memory after the 16 MB run
// Wine answers GetProcessTimes and GetProcessMemoryInfo about another process with the caller's
// own figures (and zeros once it has exited), so the figures of other processes come from
// Linux's /proc, reached through drive Z:.
// Prints "result NAME VALUE..." lines on standard output, progress on standard error.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "clock.h"
#include "control_numbers.h"
#include "driver.h"

namespace {

using qdriver::Quorvel;
using qdriver::Utf8;

constexpr DWORD kGiveUpMs = 300000;
constexpr int kSpeedLines = 209715;
constexpr int kPerFileEntries = 200;
constexpr DWORD kSilentMs = 10000;
constexpr wchar_t kHeader[] = L"Quorvel -> running... [ please have a little patience :-) ]";
constexpr wchar_t kRunEnd[] = L"\r...done!\rExitcode: 0";

const std::string kLine(79, 'x');
const std::string kSpeedScript = "repeat " + std::to_string(kSpeedLines) + " " + kLine + "\\n\n";
const std::string kSilentScript = "sleep " + std::to_string(kSilentMs) + "\n";
const std::string kExitScript = "exit 0\n";

double ClockTicks = 100;

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 != 0 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "run_probe: %s\n", what.c_str());
    std::fflush(stderr);
    ExitProcess(1);
}

// --- Linux processes, seen through drive Z: ---

std::string ReadUnixFile(const std::string& path) {
    return qdriver::ReadBytes(qdriver::WindowsPath(path)).value_or("");
}

// The Linux process whose current folder holds a file named `marker` and whose command line
// names `program`; 0 when there is none.
int UnixPidWith(const std::wstring& marker, const std::string& program) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int found = 0;
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) {
            continue;
        }
        std::string commandLine = ReadUnixFile("/proc/" + Utf8(name) + "/cmdline");
        std::transform(commandLine.begin(), commandLine.end(), commandLine.begin(), [](char c) {
            return static_cast<char>(tolower(static_cast<unsigned char>(c)));
        });
        if (commandLine.find(program) == std::string::npos) {
            continue;
        }
        if (qdriver::FileExists(L"Z:\\proc\\" + name + L"\\cwd\\" + marker)) {
            found = _wtoi(name.c_str());
        }
    } while (found == 0 && FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

// Waits for the process to show up in /proc; 0 on time-out.
int WaitUnixPid(const std::wstring& marker, const std::string& program) {
    int pid = 0;
    qdriver::WaitFor([&] { return (pid = UnixPidWith(marker, program)) != 0; }, 20000);
    return pid;
}

// Processor time (user and system) of a Linux process in seconds, all its threads together.
double UnixCpuSeconds(int pid) {
    const std::string stat = ReadUnixFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    // After the name: state is field 3, utime field 14, stime field 15.
    unsigned long long user = 0;
    unsigned long long system = 0;
    if (std::sscanf(stat.c_str() + close + 1,
                    " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &user,
                    &system) != 2) {
        return -1;
    }
    return static_cast<double>(user + system) / ClockTicks;
}

// A field of /proc/PID/status in bytes, or -1.
double UnixStatusBytes(int pid, const char* field) {
    const std::string status = ReadUnixFile("/proc/" + std::to_string(pid) + "/status");
    const std::string key = std::string("\n") + field + ":";
    const size_t at = status.find(key);
    if (at == std::string::npos) {
        return -1;
    }
    return std::atof(status.c_str() + at + key.size()) * 1024.0;
}

// Keeps the highest private resident size (RssAnon) of a process while it lives.
class MemoryWatch {
  public:
    explicit MemoryWatch(int pid) : pid_(pid), thread_([this] { Watch(); }) {}
    ~MemoryWatch() { Stop(); }
    double Stop() {
        if (thread_.joinable()) {
            stop_ = true;
            thread_.join();
            Sample();
        }
        return peak_;
    }

  private:
    void Sample() { peak_ = std::max(peak_, UnixStatusBytes(pid_, "RssAnon")); }
    void Watch() {
        while (!stop_) {
            Sample();
            Sleep(10);
        }
    }
    int pid_;
    std::atomic<bool> stop_{false};
    double peak_ = 0;
    std::thread thread_;
};

// --- Quorvel ---

struct Measure {
    double ms = 0;
    double cpuSeconds = 0;       // whole run
    double quietCpuSeconds = 0;  // from 2 s after the press to 2 s before the tool's end
    double quietWallSeconds = 0;
    double serverCpuSeconds = 0;
    double peakResident = 0;  // VmHWM
    double peakPrivate = 0;   // highest RssAnon seen
    double selfPeakWorkingSet = 0;
    double selfPeakPagefile = 0;
    double collectMs = 0;  // the reference's time running the tool and reading its output
    double showMs = 0;     // and decoding it and putting it into the box
};

std::wstring Marker() {
    static int counter = 0;
    return L"run-probe-marker-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter);
}

// Quorvel with the tool's script and `entries` copies of an existing file in its list, run once.
Measure MeasureQuorvel(const std::string& script, int entries, size_t expectedLines, bool quiet,
                       int serverPid) {
    qdriver::LaunchOptions options;
    options.withFakeTool = true;
    options.settings = "OUT_OUTDIR=C:\\out\\\r\nCMD_SHOW=0\r\n";
    Quorvel app(options);
    if (app.Window() == nullptr) {
        Fail("Quorvel's window did not appear");
    }
    const std::wstring audio = app.Folder() + L"song.wav";
    qdriver::WriteBytes(audio, "RIFF");
    app.SetToolScript(script);
    app.Press(qdriver::kStems2Option);
    app.Sync();
    if (!app.Checked(qdriver::kStems2Option)) {
        Fail("the 2-stems option did not take the press");
    }
    app.AddListEntries(std::vector<std::wstring>(static_cast<size_t>(entries), audio));
    const std::wstring marker = Marker();
    qdriver::WriteBytes(app.Folder() + marker, "");
    const int pid = WaitUnixPid(marker, "quorvel.exe");
    if (pid == 0) {
        Fail("Quorvel's Linux process was not found");
    }
    HWND box = app.Control(qdriver::kTranscriptBox);
    // Before the press the box is empty and during the run it holds the header; the run's
    // last line makes it longer.
    const DWORD_PTR endLength = wcslen(kHeader) + 12;

    Measure m;
    MemoryWatch watch(pid);
    const double cpuBefore = UnixCpuSeconds(pid);
    const double serverBefore = serverPid != 0 ? UnixCpuSeconds(serverPid) : 0;
    const double start = Milliseconds();
    app.Press(qdriver::kRunButton);
    if (quiet) {
        Sleep(2000);
        const double quietStart = Milliseconds();
        const double quietCpu = UnixCpuSeconds(pid);
        Sleep(kSilentMs - 4000);
        m.quietCpuSeconds = UnixCpuSeconds(pid) - quietCpu;
        m.quietWallSeconds = (Milliseconds() - quietStart) / 1000.0;
    }
    for (;;) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutW(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kGiveUpMs, &length)) {
            Fail("Quorvel did not answer during the run");
        }
        if (length > endLength) {
            break;
        }
        if (Milliseconds() - start > kGiveUpMs) {
            Fail("the run did not end");
        }
        Sleep(1);
    }
    m.ms = Milliseconds() - start;
    m.cpuSeconds = UnixCpuSeconds(pid) - cpuBefore;
    m.serverCpuSeconds = serverPid != 0 ? UnixCpuSeconds(serverPid) - serverBefore : 0;
    // Painting the box after the run counts too.
    app.Sync();
    Sleep(300);
    app.Sync();
    m.peakPrivate = watch.Stop();
    m.peakResident = UnixStatusBytes(pid, "VmHWM");

    const std::wstring transcript = app.Transcript();
    const std::wstring line = qdriver::Wide(kLine) + L"\r";
    size_t lines = 0;
    for (size_t at = transcript.find(line); at != std::wstring::npos;
         at = transcript.find(line, at + line.size())) {
        ++lines;
    }
    const std::wstring end = kRunEnd;
    if (lines != expectedLines || transcript.size() < end.size() ||
        transcript.compare(transcript.size() - end.size(), end.size(), end) != 0) {
        Fail("unexpected transcript: " + std::to_string(lines) + " lines, ends with \"" +
             Utf8(transcript.substr(transcript.size() - std::min<size_t>(80, transcript.size()))) +
             "\"");
    }
    app.RequestClose();
    app.WaitExit(20000);
    return m;
}

// --- the reference ---

class Event {
  public:
    explicit Event(const std::wstring& name)
        : handle_(CreateEventW(nullptr, TRUE, FALSE, name.c_str())) {}
    ~Event() { CloseHandle(handle_); }
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

struct ReferenceSetup {
    std::wstring exe;
    std::wstring folder;  // holds spleeter.exe, the scripts and the audio file
};

// Waits for the event or the end of the process; false when the process ended first.
bool WaitEventOrExit(HANDLE event, HANDLE process) {
    const HANDLE waits[] = {event, process};
    return WaitForMultipleObjects(2, waits, FALSE, kGiveUpMs) == WAIT_OBJECT_0;
}

Measure MeasureReference(const ReferenceSetup& setup, const std::wstring& scriptName, int count) {
    static int counter = 0;
    const std::wstring sync = L"Local\\quorvel-run-reference-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++counter);
    Event ready(sync + L"-ready");
    Event go(sync + L"-go");
    Event done(sync + L"-done");
    Event release(sync + L"-release");
    const std::wstring marker = Marker();
    qdriver::WriteBytes(setup.folder + marker, "");
    const std::wstring result = setup.folder + L"result.txt";
    DeleteFileW(result.c_str());
    SetEnvironmentVariableW(L"QUORVEL_FAKE_SCRIPT", (setup.folder + scriptName).c_str());
    SetEnvironmentVariableW(L"QUORVEL_FAKE_REPORT", nullptr);

    std::wstring commandLine = L"\"" + setup.exe + L"\" --sync " + sync + L" " +
                               std::to_wstring(count) + L" \"" + result + L"\" \"" + setup.folder +
                               L"spleeter.exe\" separate -p spleeter:2stems -o C:\\out\\ " +
                               setup.folder + L"song.wav";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(setup.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        setup.folder.c_str(), &startup, &process)) {
        Fail("cannot start " + Utf8(setup.exe));
    }
    CloseHandle(process.hThread);
    Measure m;
    if (!WaitEventOrExit(ready.Get(), process.hProcess)) {
        Fail("run_reference ended early: " + qdriver::ReadBytes(result).value_or("no result"));
    }
    const int pid = WaitUnixPid(marker, "run_reference.exe");
    if (pid == 0) {
        Fail("run_reference's Linux process was not found");
    }
    {
        MemoryWatch watch(pid);
        const double cpuBefore = UnixCpuSeconds(pid);
        SetEvent(go.Get());
        if (!WaitEventOrExit(done.Get(), process.hProcess)) {
            Fail("run_reference failed: " + qdriver::ReadBytes(result).value_or("no result"));
        }
        m.cpuSeconds = UnixCpuSeconds(pid) - cpuBefore;
        m.peakPrivate = watch.Stop();
        m.peakResident = UnixStatusBytes(pid, "VmHWM");
    }
    SetEvent(release.Get());
    WaitForSingleObject(process.hProcess, kGiveUpMs);
    CloseHandle(process.hProcess);
    DeleteFileW((setup.folder + marker).c_str());

    const std::string text = qdriver::ReadBytes(result).value_or("");
    unsigned long long bytes = 0;
    if (std::sscanf(text.c_str(), "%lf %llu %lf %lf %lf %lf", &m.ms, &bytes, &m.selfPeakWorkingSet,
                    &m.selfPeakPagefile, &m.collectMs, &m.showMs) != 6) {
        Fail("run_reference wrote \"" + text + "\"");
    }
    return m;
}

// Runs `quorvel` and `reference` `rounds` times each, taking turns, the order turning every round.
template <typename Q, typename R>
void TakeTurns(int rounds, const char* what, Q quorvel, R reference, std::vector<Measure>& q,
               std::vector<Measure>& r) {
    for (int round = 0; round < rounds; ++round) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool quorvelTurn = (turn + round) % 2 == 0;
            std::fprintf(stderr, "  %s round %d: %s ...", what, round + 1,
                         quorvelTurn ? "Quorvel" : "reference");
            std::fflush(stderr);
            Measure m = quorvelTurn ? quorvel() : reference();
            std::fprintf(stderr, " %.0f ms\n", m.ms);
            (quorvelTurn ? q : r).push_back(m);
        }
    }
}

template <typename Field>
double MedianOf(const std::vector<Measure>& measures, Field field) {
    std::vector<double> values;
    for (const Measure& m : measures) {
        values.push_back(field(m));
    }
    return Median(values);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 0;
    if (argc < 3 || rounds < 1) {
        std::fprintf(stderr,
                     "usage: run_probe ROUNDS REFERENCE_EXE [WINESERVER_UNIX_PID [CLOCK_TICKS]]\n");
        return 2;
    }
    const int serverPid = argc > 3 ? _wtoi(argv[3]) : 0;
    if (argc > 4 && _wtoi(argv[4]) > 0) {
        ClockTicks = _wtoi(argv[4]);
    }
    qdriver::TempFolder folder(L"quorvel-run-bench");
    ReferenceSetup setup{qdriver::WindowsPath(Utf8(argv[2])), folder.Path()};
    wchar_t tool[4096] = {};
    if (GetEnvironmentVariableW(L"QUORVEL_FAKE_TOOL", tool, 4096) == 0 ||
        !CopyFileW(qdriver::WindowsPath(Utf8(tool)).c_str(),
                   (setup.folder + L"spleeter.exe").c_str(), FALSE)) {
        Fail("cannot place the test double of the tool (QUORVEL_FAKE_TOOL)");
    }
    qdriver::WriteBytes(setup.folder + L"song.wav", "RIFF");
    qdriver::WriteBytes(setup.folder + L"speed.txt", kSpeedScript);
    qdriver::WriteBytes(setup.folder + L"exit.txt", kExitScript);
    if (ReadUnixFile("/proc/self/stat").empty()) {
        Fail("cannot read /proc through drive Z:");
    }

    std::vector<Measure> speedQ, speedR, fileQ, fileR, waitQ;
    std::fprintf(stderr, "16 MB of output (one untimed turn each first):\n");
    MeasureQuorvel(kSpeedScript, 1, kSpeedLines, false, serverPid);
    MeasureReference(setup, L"speed.txt", 1);
    TakeTurns(
        rounds, "16 MB",
        [&] { return MeasureQuorvel(kSpeedScript, 1, kSpeedLines, false, serverPid); },
        [&] { return MeasureReference(setup, L"speed.txt", 1); }, speedQ, speedR);

    std::fprintf(stderr, "%d entries, the tool exits at once:\n", kPerFileEntries);
    TakeTurns(
        rounds, "200 entries",
        [&] { return MeasureQuorvel(kExitScript, kPerFileEntries, 0, false, serverPid); },
        [&] { return MeasureReference(setup, L"exit.txt", kPerFileEntries); }, fileQ, fileR);

    std::fprintf(stderr, "the tool silent for %lu s:\n", kSilentMs / 1000);
    for (int round = 0; round < rounds; ++round) {
        std::fprintf(stderr, "  silent round %d: Quorvel ...", round + 1);
        std::fflush(stderr);
        waitQ.push_back(MeasureQuorvel(kSilentScript, 1, 0, true, serverPid));
        std::fprintf(stderr, " %.0f ms, %.3f s of processor time\n", waitQ.back().ms,
                     waitQ.back().cpuSeconds);
    }

    auto ms = [](const Measure& m) { return m.ms; };
    auto resident = [](const Measure& m) { return m.peakResident; };
    auto privateBytes = [](const Measure& m) { return m.peakPrivate; };
    std::printf("result speed_ms %.1f %.1f\n", MedianOf(speedQ, ms), MedianOf(speedR, ms));
    std::printf("result perfile_ms %.1f %.1f\n", MedianOf(fileQ, ms), MedianOf(fileR, ms));
    std::printf("result waiting %.3f %.3f %.3f %.3f %.3f\n",
                MedianOf(waitQ, [](const Measure& m) { return m.cpuSeconds; }),
                MedianOf(waitQ, ms) / 1000.0,
                MedianOf(waitQ, [](const Measure& m) { return m.quietCpuSeconds; }),
                MedianOf(waitQ, [](const Measure& m) { return m.quietWallSeconds; }),
                MedianOf(waitQ, [](const Measure& m) { return m.serverCpuSeconds; }));
    std::printf("result peak_resident %.0f %.0f\n", MedianOf(speedQ, resident),
                MedianOf(speedR, resident));
    std::printf("result peak_private %.0f %.0f\n", MedianOf(speedQ, privateBytes),
                MedianOf(speedR, privateBytes));
    std::printf("result reference_self %.0f %.0f\n",
                MedianOf(speedR, [](const Measure& m) { return m.selfPeakWorkingSet; }),
                MedianOf(speedR, [](const Measure& m) { return m.selfPeakPagefile; }));
    auto cpu = [](const Measure& m) { return m.cpuSeconds; };
    std::printf("result speed_cpu %.3f %.3f\n", MedianOf(speedQ, cpu), MedianOf(speedR, cpu));
    std::printf("result perfile_cpu %.3f %.3f\n", MedianOf(fileQ, cpu), MedianOf(fileR, cpu));
    std::printf("result reference_speed_parts %.1f %.1f\n",
                MedianOf(speedR, [](const Measure& m) { return m.collectMs; }),
                MedianOf(speedR, [](const Measure& m) { return m.showMs; }));
    return 0;
}
