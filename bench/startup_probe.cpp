// Start-up, memory and repaint probe for window programs.
//
// For each target it starts the program with CreateProcess, polls until the program's
// top-level window of the given class is visible and has nothing left to paint (the
// window and every child without an update region), and takes the time from just
// before CreateProcess to that moment. It then reads the child's memory and object
// counts, asks the window to close and waits for the process to end before the next run.
// The targets take turns run by run, so that a slow spell of the machine hits them alike.
//
// After the timed runs, each target is started once more for the repaint check: a
// number of full repaints, one after the other (RedrawWindow with RDW_INVALIDATE |
// RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN, then waiting until the child has painted
// every window again), with the object counts and private bytes read before and after.
//
// Processor time of the child is read from its Linux process under Wine (GetProcessTimes
// there does not give another process's times) and from GetProcessTimes elsewhere.
//
// What the counts are, as read under Wine (where GetGuiResources is not implemented
// and returns 0; its answer is still recorded):
//  - gdi: entries of the child's GDI handle table (the table the PEB points to at
//    GdiSharedHandleTable) that are in use, are the child's and are not stock objects
//    (tests/win32/ProcessObjects.h);
//  - windows: windows of the child, top-level and all their descendants;
//  - private_usage / pagefile_usage / working_set: PROCESS_MEMORY_COUNTERS_EX;
//  - private_commit: committed MEM_PRIVATE memory summed over VirtualQueryEx regions.
//
// Usage:
//   startup_probe --out FILE [--runs N] [--repaints N] [--settle-ms N] [--poll-ms N]
//                 [--repaint-target NAME ...] --target NAME CLASS EXE STORE [--target ...]
// Without --repaint-target every target gets the repaint check.
// STORE is "-" (none), "fresh:SUBKEY" (the HKCU subkey is deleted before every run)
// or "keep:SUBKEY" (left as the program wrote it; the warm-up run creates it).
// Results go to FILE as tab-separated lines, and a summary of medians as key=value lines
// to FILE.summary. A program built to mark its phases (core/BenchPhases.h) writes them to
// the file the probe names in HEXALUNE_PHASES_FILE; their medians, as times since
// CreateProcess, and each window class's share of a repaint go to FILE.phases.md. The exit code is 0 only when every run found its window.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/Timing.h"
#include "win32/ProcessObjects.h"

namespace {

using hexalune::bench::Median;

namespace process_objects = hexalune::process_objects;

struct Target {
    std::wstring name;
    std::wstring windowClass;
    std::wstring exe;
    std::wstring store;  // "-", "fresh:..." or "keep:..."
};

struct Sample {
    double startupMs = 0;
    double startupCpuMs = 0;  // the child's own processor time (user + kernel) up to the same moment
    unsigned long long privateUsage = 0;
    unsigned long long pagefileUsage = 0;
    unsigned long long privateCommit = 0;
    unsigned long long workingSet = 0;
    long gdi = -1;
    long gdiAll = -1;
    long windows = 0;
    unsigned long guiGdi = 0;
    unsigned long guiUser = 0;
    std::vector<std::pair<std::string, double>> phases;  // as the program marked them, ms since CreateProcess
};

// What one start of a program that marks its phases painted from its message loop.
struct PaintTotal {
    long count = 0;
    double ms = 0;
};

struct Child {
    PROCESS_INFORMATION pi{};
    HWND hwnd = nullptr;
    unsigned long linuxPid = 0;  // under Wine
    double startedAt = 0;        // just before CreateProcess
};

constexpr DWORD kFindTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 5000;

LARGE_INTEGER g_frequency;
DWORD g_pollMs = 2;
std::wstring g_phasesPath;  // where a program that marks its phases writes them

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

// Processor time of the child. Under Wine, GetProcessTimes on another process does not
// give that process's times, so there the figure comes from the child's Linux process,
// found through the Z: drive as the /proc entry with the child's command line and this
// prefix's WINEPREFIX. Elsewhere GetProcessTimes is used.
bool RunningOnWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::string data;
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return data;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0 && data.size() < (1u << 20)) data.append(buffer, n);
    std::fclose(f);
    return data;
}

// The NUL-separated entries of a /proc file, one of which starts with `prefix`; empty if none.
std::string FindEntry(const std::string& data, const std::string& prefix) {
    for (std::size_t at = 0; at < data.size();) {
        const std::size_t end = std::min(data.find('\0', at), data.size());
        if (data.compare(at, prefix.size(), prefix) == 0) return data.substr(at, end - at);
        at = end + 1;
    }
    return std::string();
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && _stricmp(a.c_str(), b.c_str()) == 0;
}

// The Linux process id of the newest process running `exe` in this prefix, or 0.
unsigned long LinuxPidOf(const std::wstring& exe) {
    static const std::string ownPrefix = FindEntry(ReadWholeFile(L"Z:\\proc\\self\\environ"), "WINEPREFIX=");
    if (ownPrefix.empty()) return 0;
    const std::string wanted = Narrow(exe);
    unsigned long best = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        wchar_t* end = nullptr;
        const unsigned long pid = std::wcstoul(found.cFileName, &end, 10);
        if (pid == 0 || *end != L'\0' || pid <= best) continue;
        const std::wstring dir = std::wstring(L"Z:\\proc\\") + found.cFileName + L"\\";
        const std::string commandLine = ReadWholeFile(dir + L"cmdline");
        if (!SameText(commandLine.substr(0, commandLine.find('\0')), wanted)) continue;
        if (FindEntry(ReadWholeFile(dir + L"environ"), "WINEPREFIX=") != ownPrefix) continue;
        best = pid;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return best;
}

// Processor time (user + kernel) the child has used so far, in milliseconds; -1 if unknown.
double CpuMs(HANDLE process, unsigned long linuxPid) {
    if (linuxPid) {
        const std::string stat = ReadWholeFile(L"Z:\\proc\\" + std::to_wstring(linuxPid) + L"\\stat");
        const std::size_t paren = stat.rfind(')');
        if (paren == std::string::npos) return -1;
        // After the command name: state is field 3, utime field 14, stime field 15.
        unsigned long long utime = 0, stime = 0;
        if (std::sscanf(stat.c_str() + paren + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                        &stime) != 2)
            return -1;
        return static_cast<double>(utime + stime) * 10.0;  // USER_HZ is 100 on Linux
    }
    if (RunningOnWine()) return -1;
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    const auto ticks = [](const FILETIME& f) {
        return static_cast<double>((static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 10000.0;
}

double Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(g_frequency.QuadPart);
}

// The top-level window of the class that belongs to the process, or null.
HWND FindProcessWindow(const std::wstring& windowClass, DWORD pid) {
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, windowClass.c_str(), nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == pid) return hwnd;
    }
    return nullptr;
}

BOOL CALLBACK CheckChildPainted(HWND child, LPARAM pending) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(pending) = true;
        return FALSE;
    }
    return TRUE;
}

// Visible, and neither the window nor any visible descendant is waiting to be painted.
bool ShownAndPainted(HWND hwnd) {
    if (!IsWindowVisible(hwnd) || IsIconic(hwnd)) return false;
    if (GetUpdateRect(hwnd, nullptr, FALSE)) return false;
    bool pending = false;
    EnumChildWindows(hwnd, CheckChildPainted, reinterpret_cast<LPARAM>(&pending));
    return !pending;
}

void ReadCounters(const Child& child, Sample& sample) {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(child.pi.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc))) {
        sample.privateUsage = pmc.PrivateUsage;
        sample.pagefileUsage = pmc.PagefileUsage;
        sample.workingSet = pmc.WorkingSetSize;
    }
    sample.privateCommit = process_objects::PrivateCommit(child.pi.hProcess);
    const process_objects::GdiObjects gdi = process_objects::CountGdiTable(child.pi.hProcess);
    sample.gdi = gdi.own;
    sample.gdiAll = gdi.withStock;
    sample.windows = process_objects::CountWindows(child.pi.dwProcessId);
    sample.guiGdi = GetGuiResources(child.pi.hProcess, GR_GDIOBJECTS);
    sample.guiUser = GetGuiResources(child.pi.hProcess, GR_USEROBJECTS);
}

// The file names of the modules loaded in the child, separated by spaces.
std::string LoadedModules(HANDLE process) {
    std::vector<HMODULE> modules(512);
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules.data(), static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed))
        return std::string();
    modules.resize(std::min<std::size_t>(modules.size(), needed / sizeof(HMODULE)));
    std::string list;
    for (HMODULE module : modules) {
        wchar_t name[MAX_PATH];
        if (!GetModuleBaseNameW(process, module, name, MAX_PATH)) continue;
        if (!list.empty()) list += ' ';
        list += Narrow(name);
    }
    return list;
}

void PrepareStore(const Target& target) {
    if (target.store.rfind(L"fresh:", 0) == 0) RegDeleteTreeW(HKEY_CURRENT_USER, target.store.c_str() + 6);
}

// Waits until no window of the class is left from an earlier copy (a second copy refuses to start).
void WaitForNoWindow(const std::wstring& windowClass) {
    const double deadline = Now() + kExitTimeoutMs;
    while (FindWindowW(windowClass.c_str(), nullptr) && Now() < deadline) Sleep(10);
}

// Starts the target and waits for its window; the start-up time goes to `startupMs`.
bool Start(const Target& target, Child& child, double& startupMs, double& startupCpuMs) {
    PrepareStore(target);
    WaitForNoWindow(target.windowClass);
    std::wstring commandLine = L"\"" + target.exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (!g_phasesPath.empty()) DeleteFileW(g_phasesPath.c_str());
    const double start = Now();
    child.startedAt = start;
    if (!CreateProcessW(target.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &child.pi)) {
        std::fprintf(stderr, "CreateProcess failed for %s: %lu\n", Narrow(target.exe).c_str(), GetLastError());
        return false;
    }
    const double deadline = start + kFindTimeoutMs;
    for (;;) {
        if (!child.hwnd) child.hwnd = FindProcessWindow(target.windowClass, child.pi.dwProcessId);
        if (child.hwnd && ShownAndPainted(child.hwnd)) {
            startupMs = Now() - start;
            if (RunningOnWine()) child.linuxPid = LinuxPidOf(target.exe);
            startupCpuMs = CpuMs(child.pi.hProcess, child.linuxPid);
            return true;
        }
        if (WaitForSingleObject(child.pi.hProcess, 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%s ended before its window was shown\n", Narrow(target.name).c_str());
            return false;
        }
        if (Now() > deadline) {
            std::fprintf(stderr, "%s: no painted window after %lu ms\n", Narrow(target.name).c_str(), kFindTimeoutMs);
            return false;
        }
        Sleep(g_pollMs);
    }
}

// Asks the program to close as another program would (WM_CLOSE), then ends it if it does not.
void Stop(Child& child) {
    if (child.pi.hProcess) {
        if (child.hwnd) PostMessageW(child.hwnd, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(child.pi.hProcess, kExitTimeoutMs) != WAIT_OBJECT_0) {
            TerminateProcess(child.pi.hProcess, 1);
            WaitForSingleObject(child.pi.hProcess, kExitTimeoutMs);
        }
        CloseHandle(child.pi.hThread);
        CloseHandle(child.pi.hProcess);
    }
    child = Child{};
}

// Waits until the child's window thread has handled everything sent before.
void Sync(const Child& child) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(child.hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
}

BOOL CALLBACK AddVisibleChild(HWND child, LPARAM param) {
    if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
    return TRUE;
}

// The windows a full repaint of `hwnd` paints: the window and its visible descendants.
// Polling goes through them in order and carries on from the first one still waiting,
// so that each poll asks the server about as few windows as it can.
class PaintWatch {
public:
    explicit PaintWatch(HWND hwnd) {
        windows_.push_back(hwnd);
        EnumChildWindows(hwnd, AddVisibleChild, reinterpret_cast<LPARAM>(&windows_));
    }
    void Restart() { next_ = 0; }
    bool AllPainted() {
        for (; next_ < windows_.size(); ++next_)
            if (GetUpdateRect(windows_[next_], nullptr, FALSE)) return false;
        // A window earlier in the list may have been invalidated again meanwhile.
        for (std::size_t i = 0; i < windows_.size(); ++i) {
            if (GetUpdateRect(windows_[i], nullptr, FALSE)) {
                next_ = i;
                return false;
            }
        }
        return true;
    }

private:
    std::vector<HWND> windows_;
    std::size_t next_ = 0;
};

// Full repaints of the window and all its descendants. The probe marks everything
// invalid and waits until the child's own message loop has painted it all: asking for
// RDW_UPDATENOW from here would send each WM_PAINT across processes one window at a
// time, and time the messaging between the two processes rather than the painting.
bool Repaint(HWND hwnd, int times) {
    PaintWatch watch(hwnd);
    for (int i = 0; i < times; ++i) {
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        watch.Restart();
        const double deadline = Now() + kFindTimeoutMs;
        while (!watch.AllPainted()) {
            if (Now() > deadline) return false;
            Sleep(g_pollMs);
        }
    }
    return true;
}

// The phases the program that just ended wrote (none from a program that marks none).
void ReadPhases(double startedAt, std::vector<std::pair<std::string, double>>& phases,
                std::map<std::string, PaintTotal>* paints) {
    if (g_phasesPath.empty()) return;
    const std::string data = ReadWholeFile(g_phasesPath);
    std::size_t at = 0;
    while (at < data.size()) {
        std::size_t end = data.find('\n', at);
        if (end == std::string::npos) end = data.size();
        std::vector<std::string> fields;
        for (std::size_t f = at; f <= end;) {
            const std::size_t tab = std::min(data.find('\t', f), end);
            fields.push_back(data.substr(f, tab - f));
            f = tab + 1;
        }
        if (fields.size() == 3 && fields[0] == "mark")
            phases.emplace_back(fields[1], std::atof(fields[2].c_str()) - startedAt);
        if (fields.size() == 4 && fields[0] == "paint" && paints) {
            PaintTotal& total = (*paints)[fields[1]];
            total.count += std::atol(fields[2].c_str());
            total.ms += std::atof(fields[3].c_str());
        }
        at = end + 1;
    }
}

void WriteSample(FILE* out, const char* kind, const std::wstring& name, const std::string& label, const Sample& s) {
    std::fprintf(out, "%s\t%s\t%s\t%.3f\t%.3f\t%llu\t%llu\t%llu\t%llu\t%ld\t%ld\t%ld\t%lu\t%lu\n", kind,
                 Narrow(name).c_str(), label.c_str(), s.startupMs, s.startupCpuMs, s.privateUsage, s.pagefileUsage, s.privateCommit,
                 s.workingSet, s.gdi, s.gdiAll, s.windows, s.guiGdi, s.guiUser);
    std::fflush(out);
}

void Usage() {
    std::fprintf(stderr,
                 "usage: startup_probe --out FILE [--runs N] [--repaints N] [--settle-ms N] [--poll-ms N]\n"
                 "                     [--repaint-target NAME ...] --target NAME CLASS EXE STORE [--target ...]\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    QueryPerformanceFrequency(&g_frequency);
    std::wstring outPath;
    int runs = 10;
    int repaints = 1000;
    DWORD settleMs = 500;
    std::vector<Target> targets;
    std::vector<std::wstring> repaintNames;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--out" && i + 1 < argc) {
            outPath = argv[++i];
        } else if (arg == L"--runs" && i + 1 < argc) {
            runs = _wtoi(argv[++i]);
        } else if (arg == L"--repaints" && i + 1 < argc) {
            repaints = _wtoi(argv[++i]);
        } else if (arg == L"--settle-ms" && i + 1 < argc) {
            settleMs = static_cast<DWORD>(_wtoi(argv[++i]));
        } else if (arg == L"--repaint-target" && i + 1 < argc) {
            repaintNames.push_back(argv[++i]);
        } else if (arg == L"--poll-ms" && i + 1 < argc) {
            g_pollMs = static_cast<DWORD>(_wtoi(argv[++i]));
        } else if (arg == L"--target" && i + 4 < argc) {
            targets.push_back(Target{argv[i + 1], argv[i + 2], argv[i + 3], argv[i + 4]});
            i += 4;
        } else {
            Usage();
            return 2;
        }
    }
    if (outPath.empty() || targets.empty() || runs < 1) {
        Usage();
        return 2;
    }
    FILE* out = _wfopen(outPath.c_str(), L"w");
    if (!out) return 2;
    g_phasesPath = outPath + L".phases.tmp";
    SetEnvironmentVariableW(L"HEXALUNE_PHASES_FILE", g_phasesPath.c_str());
    std::fprintf(out, "kind\ttarget\trun\tstartup_ms\tstartup_cpu_ms\tprivate_usage\tpagefile_usage\tprivate_commit\tworking_set\tgdi"
                      "\tgdi_with_stock\twindows\tguires_gdi\tguires_user\n");

    bool ok = true;
    // One untimed start of each target first: it loads the program's files into the
    // cache and, for a kept store, writes the settings the timed runs then find.
    for (const Target& target : targets) {
        Child child;
        double ms = 0, cpu = 0;
        if (!Start(target, child, ms, cpu)) ok = false;
        Stop(child);
    }

    std::vector<std::vector<Sample>> samples(targets.size());
    for (int run = 1; run <= runs; ++run) {
        for (std::size_t t = 0; t < targets.size(); ++t) {
            Child child;
            Sample sample;
            if (Start(targets[t], child, sample.startupMs, sample.startupCpuMs)) {
                Sleep(settleMs);
                Sync(child);
                ReadCounters(child, sample);
                WriteSample(out, "startup", targets[t].name, std::to_string(run), sample);
                const double startedAt = child.startedAt;
                Stop(child);
                ReadPhases(startedAt, sample.phases, nullptr);
                samples[t].push_back(sample);
            } else {
                ok = false;
                Stop(child);
            }
        }
    }

    struct RepaintResult {
        Sample before, after;
        double msPerRepaint = 0;
        double cpuMsPerRepaint = 0;
        std::string modules;
        std::map<std::string, PaintTotal> paints;  // from the program's own count, when it marks its phases
        bool done = false;
    };
    std::vector<RepaintResult> repaintResults(targets.size());
    if (repaints > 0) {
        for (std::size_t t = 0; t < targets.size(); ++t) {
            if (!repaintNames.empty() &&
                std::find(repaintNames.begin(), repaintNames.end(), targets[t].name) == repaintNames.end())
                continue;
            Child child;
            double ms = 0, cpu = 0;
            if (!Start(targets[t], child, ms, cpu)) {
                ok = false;
                Stop(child);
                continue;
            }
            Sleep(settleMs);
            // A few repaints first, so that whatever a program makes once on its first
            // paints (cached brushes, fonts) is there before the counting starts.
            if (!Repaint(child.hwnd, 20)) {
                std::fprintf(stderr, "%s: repaint did not finish\n", Narrow(targets[t].name).c_str());
                ok = false;
                Stop(child);
                continue;
            }
            Sync(child);
            RepaintResult& r = repaintResults[t];
            ReadCounters(child, r.before);
            r.modules = LoadedModules(child.pi.hProcess);
            WriteSample(out, "repaint", targets[t].name, "before", r.before);
            const double start = Now();
            const double startCpu = CpuMs(child.pi.hProcess, child.linuxPid);
            if (!Repaint(child.hwnd, repaints)) {
                std::fprintf(stderr, "%s: repaint did not finish\n", Narrow(targets[t].name).c_str());
                ok = false;
            }
            Sync(child);
            r.msPerRepaint = (Now() - start) / repaints;
            const double endCpu = CpuMs(child.pi.hProcess, child.linuxPid);
            r.cpuMsPerRepaint = startCpu < 0 || endCpu < 0 ? -1 : (endCpu - startCpu) / repaints;
            ReadCounters(child, r.after);
            WriteSample(out, "repaint", targets[t].name, "after" + std::to_string(repaints), r.after);
            r.done = true;
            const double startedAt = child.startedAt;
            Stop(child);
            std::vector<std::pair<std::string, double>> unused;
            ReadPhases(startedAt, unused, &r.paints);
        }
    }
    std::fclose(out);

    FILE* summary = _wfopen((outPath + L".summary").c_str(), L"w");
    if (!summary) return 2;
    std::fprintf(summary, "runs=%d\nrepaints=%d\nsettle_ms=%lu\n", runs, repaints, settleMs);
    for (std::size_t t = 0; t < targets.size(); ++t) {
        const std::string n = Narrow(targets[t].name);
        std::vector<double> ms, cpu, priv, pagefile, commit, ws, gdi, windows;
        for (const Sample& s : samples[t]) {
            ms.push_back(s.startupMs);
            cpu.push_back(s.startupCpuMs);
            priv.push_back(static_cast<double>(s.privateUsage));
            pagefile.push_back(static_cast<double>(s.pagefileUsage));
            commit.push_back(static_cast<double>(s.privateCommit));
            ws.push_back(static_cast<double>(s.workingSet));
            gdi.push_back(static_cast<double>(s.gdi));
            windows.push_back(static_cast<double>(s.windows));
        }
        std::fprintf(summary, "%s.store=%s\n", n.c_str(), Narrow(targets[t].store).c_str());
        std::fprintf(summary, "%s.samples=%zu\n", n.c_str(), samples[t].size());
        if (!ms.empty()) {
            std::fprintf(summary, "%s.startup_ms_median=%.1f\n", n.c_str(), Median(ms));
            std::fprintf(summary, "%s.startup_cpu_ms_median=%.1f\n", n.c_str(), Median(cpu));
            std::fprintf(summary, "%s.startup_ms_min=%.1f\n", n.c_str(), *std::min_element(ms.begin(), ms.end()));
            std::fprintf(summary, "%s.startup_ms_max=%.1f\n", n.c_str(), *std::max_element(ms.begin(), ms.end()));
        }
        std::fprintf(summary, "%s.private_usage_median=%.0f\n", n.c_str(), Median(priv));
        std::fprintf(summary, "%s.pagefile_usage_median=%.0f\n", n.c_str(), Median(pagefile));
        std::fprintf(summary, "%s.private_commit_median=%.0f\n", n.c_str(), Median(commit));
        std::fprintf(summary, "%s.working_set_median=%.0f\n", n.c_str(), Median(ws));
        std::fprintf(summary, "%s.gdi_median=%.0f\n", n.c_str(), Median(gdi));
        std::fprintf(summary, "%s.windows_median=%.0f\n", n.c_str(), Median(windows));
        if (!samples[t].empty()) {
            std::fprintf(summary, "%s.guires_gdi=%lu\n", n.c_str(), samples[t].back().guiGdi);
            std::fprintf(summary, "%s.guires_user=%lu\n", n.c_str(), samples[t].back().guiUser);
        }
        const RepaintResult& r = repaintResults[t];
        if (r.done) {
            std::fprintf(summary, "%s.repaint_ms_each=%.3f\n", n.c_str(), r.msPerRepaint);
            std::fprintf(summary, "%s.repaint_cpu_ms_each=%.3f\n", n.c_str(), r.cpuMsPerRepaint);
            std::fprintf(summary, "%s.repaint_pagefile_usage_before=%llu\n%s.repaint_pagefile_usage_after=%llu\n",
                         n.c_str(), r.before.pagefileUsage, n.c_str(), r.after.pagefileUsage);
            const std::size_t count =
                r.modules.empty() ? 0 : 1 + std::count(r.modules.begin(), r.modules.end(), ' ');
            std::fprintf(summary, "%s.module_count=%zu\n%s.modules=%s\n", n.c_str(), count, n.c_str(),
                         r.modules.c_str());
            std::fprintf(summary, "%s.repaint_gdi_before=%ld\n%s.repaint_gdi_after=%ld\n", n.c_str(), r.before.gdi,
                         n.c_str(), r.after.gdi);
            std::fprintf(summary, "%s.repaint_windows_before=%ld\n%s.repaint_windows_after=%ld\n", n.c_str(),
                         r.before.windows, n.c_str(), r.after.windows);
            std::fprintf(summary, "%s.repaint_private_usage_before=%llu\n%s.repaint_private_usage_after=%llu\n",
                         n.c_str(), r.before.privateUsage, n.c_str(), r.after.privateUsage);
            std::fprintf(summary, "%s.repaint_private_commit_before=%llu\n%s.repaint_private_commit_after=%llu\n",
                         n.c_str(), r.before.privateCommit, n.c_str(), r.after.privateCommit);
        }
    }
    std::fprintf(summary, "ok=%d\n", ok ? 1 : 0);
    std::fclose(summary);

    // The phases, for the targets that mark them.
    FILE* phases = _wfopen((outPath + L".phases.md").c_str(), L"w");
    if (!phases) return 2;
    for (std::size_t t = 0; t < targets.size(); ++t) {
        if (samples[t].empty() || samples[t].front().phases.empty()) continue;
        const std::string n = Narrow(targets[t].name);
        // The phases in the order of the first run; a later run's are matched by place and name.
        const auto& order = samples[t].front().phases;
        std::fprintf(phases, "Start-up of %s (store %s), median of %zu runs: each phase as marked by the program, "
                             "in ms since CreateProcess, and the step from the phase before.\n\n",
                     n.c_str(), Narrow(targets[t].store).c_str(), samples[t].size());
        std::fprintf(phases, "| Phase | Since CreateProcess | Step |\n| --- | ---: | ---: |\n");
        std::fprintf(phases, "| CreateProcess called | 0.0 | - |\n");
        for (std::size_t i = 0; i < order.size(); ++i) {
            std::vector<double> since, step;
            for (const Sample& s : samples[t]) {
                if (i >= s.phases.size() || s.phases[i].first != order[i].first) continue;
                since.push_back(s.phases[i].second);
                step.push_back(s.phases[i].second - (i ? s.phases[i - 1].second : 0.0));
            }
            std::fprintf(phases, "| %s | %.1f | %.1f |\n", order[i].first.c_str(), Median(since), Median(step));
        }
        std::vector<double> found, after;
        for (const Sample& s : samples[t]) {
            found.push_back(s.startupMs);
            if (!s.phases.empty()) after.push_back(s.startupMs - s.phases.back().second);
        }
        std::fprintf(phases, "| the probe finds the window shown and painted | %.1f | %.1f |\n\n", Median(found),
                     Median(after));
    }
    for (std::size_t t = 0; t < targets.size(); ++t) {
        const RepaintResult& r = repaintResults[t];
        const auto main = r.paints.find(Narrow(targets[t].windowClass));
        if (!r.done || main == r.paints.end() || main->second.count == 0) continue;
        const double repaintsSeen = static_cast<double>(main->second.count);
        std::vector<std::pair<std::string, PaintTotal>> byTime(r.paints.begin(), r.paints.end());
        std::sort(byTime.begin(), byTime.end(), [](const auto& a, const auto& b) { return a.second.ms > b.second.ms; });
        std::fprintf(phases, "One full repaint of %s (%.0f in all, the start's included): the WM_PAINT of each window class, "
                             "as timed in its message loop (a control's painting includes the colour messages it sends its "
                             "parent), per repaint.\n\n",
                     Narrow(targets[t].name).c_str(), repaintsSeen);
        std::fprintf(phases, "| Window class | Paints | ms |\n| --- | ---: | ---: |\n");
        double total = 0;
        for (const auto& [name, paint] : byTime) {
            std::fprintf(phases, "| %s | %.1f | %.3f |\n", name.c_str(), paint.count / repaintsSeen, paint.ms / repaintsSeen);
            total += paint.ms;
        }
        std::fprintf(phases, "| all painting | | %.3f |\n| the repaint, wall, as the probe sees it | | %.3f |\n\n",
                     total / repaintsSeen, r.msPerRepaint);
    }
    std::fclose(phases);
    return ok ? 0 : 1;
}
