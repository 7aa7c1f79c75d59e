// The cost of the tray program's scan: CPU time of the program per scan tick
// with 0, 100 and 500 unrelated top-level windows open, and its CPU use while
// idle, under Wine.
//
//   scan_tick.exe PROGRAM KEY_FOLDER
//
// The windows belong to this process. Wine does not report another
// process's CPU time through GetProcessTimes, so the times come from /proc
// of the Unix processes: the program's, and the wineserver's, which does
// part of the work of every window enumeration.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "keys/key_files.h"
#include "tests/wine/driver.h"

namespace {

constexpr double kTickMs = 300;
// 50 ticks: /proc counts CPU time in 10 ms steps, 0.2 ms a tick here.
constexpr DWORD kMeasureMs = 15000;

// utime + stime of a Unix process, in clock ticks of 10 ms; 0 when unknown.
uint64_t UnixCpuTicks(const std::string& pid) {
  if (pid.empty()) return 0;
  const auto stat = driver::ReadWholeFile("Z:\\proc\\" + pid + "\\stat");
  if (!stat) return 0;
  // The fields after the command name, which ends at the last ')'.
  const char* p = std::strrchr(stat->c_str(), ')');
  unsigned long long utime = 0, stime = 0;
  if (!p || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
    return 0;
  return utime + stime;
}

// The Unix process id of the newest process of this Wine prefix whose
// command line contains name; "" when there is none.
std::string UnixPidOf(const char* name) {
  char prefix[MAX_PATH] = "";
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string ourPrefix = std::string("WINEPREFIX=") + prefix;
  std::string found;
  unsigned long newest = 0;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    char* end;
    const unsigned long pid = std::strtoul(entry.cFileName, &end, 10);
    if (*end != '\0' || pid <= newest) continue;
    const std::string dir = std::string("Z:\\proc\\") + entry.cFileName + "\\";
    const auto cmdline = driver::ReadWholeFile(dir + "cmdline");
    const auto environment = driver::ReadWholeFile(dir + "environ");
    if (!cmdline || !environment || cmdline->find(name) == std::string::npos) continue;
    // Entries end with NUL: the match must be a whole one.
    if (environment->find(ourPrefix + '\0') == std::string::npos) continue;
    newest = pid;
    found = entry.cFileName;
  } while (FindNextFileA(search, &entry));
  FindClose(search);
  return found;
}

// Keeps this process's windows answering while time passes.
void PumpFor(DWORD ms) {
  const uint64_t end = GetTickCount64() + ms;
  for (uint64_t now; (now = GetTickCount64()) < end;) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
}

std::vector<HWND> OpenWindows(int count) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "VwgScanBenchWindow";
  RegisterClassA(&wc);
  std::vector<HWND> windows;
  for (int i = 0; i < count; ++i) {
    const std::string caption = "Unrelated window " + std::to_string(i);
    windows.push_back(CreateWindowExA(0, wc.lpszClassName, caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      i % 40 * 10, i % 30 * 10, 160, 60, nullptr, nullptr, wc.hInstance,
                                      nullptr));
  }
  return windows;
}

bool MakeKeys(const std::string& folder) {
  uint16_t secret[kScalarWords];
  PublicKeyRecord own;
  const std::string ring = folder + "\\public.vwg", secretFile = folder + "\\secret.vwg";
  if (!GenerateKeyPair(secret, own, "Bench") ||
      SaveKeyPair(ring.c_str(), secretFile.c_str(), own, secret).status != KeyFileStatus::kOk)
    return false;
  return driver::WriteRegString("Software\\Corvandel\\Keys", "Public Key", ring) &&
         driver::WriteRegString("Software\\Corvandel\\Keys", "Secret Key", secretFile);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: scan_tick.exe PROGRAM KEY_FOLDER\n");
    return 2;
  }
  if (!MakeKeys(argv[2])) {
    std::fprintf(stderr, "scan_tick: could not make the keys\n");
    return 1;
  }
  driver::Program program = driver::StartProgram(argv[1], "", argv[2]);
  if (!program || !driver::EndSplash(program.pid())) {
    std::fprintf(stderr, "scan_tick: the program did not start\n");
    return 1;
  }
  const std::string programPid = UnixPidOf("vaultwing.exe"), serverPid = UnixPidOf("wineserver");
  if (programPid.empty()) {
    std::fprintf(stderr, "scan_tick: the program's Unix process was not found\n");
    return 1;
  }
  PumpFor(2000);

  std::printf("| Unrelated windows | Program CPU per tick | Program CPU use | wineserver CPU per tick |\n");
  std::printf("|---|---|---|---|\n");
  for (int count : {0, 100, 500}) {
    std::vector<HWND> windows = OpenWindows(count);
    PumpFor(1000);
    const uint64_t cpu0 = UnixCpuTicks(programPid), server0 = UnixCpuTicks(serverPid);
    const uint64_t t0 = GetTickCount64();
    PumpFor(kMeasureMs);
    const double elapsedMs = double(GetTickCount64() - t0);
    const double cpuMs = double(UnixCpuTicks(programPid) - cpu0) * 10;
    const double serverMs = double(UnixCpuTicks(serverPid) - server0) * 10;
    const double ticks = elapsedMs / kTickMs;
    char server[32] = "-";
    if (!serverPid.empty()) std::snprintf(server, sizeof server, "%.2f ms", serverMs / ticks);
    std::printf("| %d | %.2f ms | %.2f %% | %s |\n", count, cpuMs / ticks, 100 * cpuMs / elapsedMs, server);
    std::fflush(stdout);
    for (HWND w : windows) DestroyWindow(w);
  }
  return driver::ExitThroughTrayMenu(program) == 0u ? 0 : 1;
}
