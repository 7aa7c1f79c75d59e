#include "icq/token_facts.h"

#include <cstdlib>

#include "win/handles.h"

namespace {

bool IsNamedSandboxed(DWORD processId) {
  char value[16];
  const DWORD length = GetEnvironmentVariableA(kSandboxedProcessVariable, value, sizeof value);
  return length > 0 && length < sizeof value && std::strtoul(value, nullptr, 10) == processId;
}

// The level is the last sub-authority of the label's SID (S-1-16-8192 is
// medium).
bool ReadIntegrity(HANDLE token, uint32_t& level) {
  struct {
    TOKEN_MANDATORY_LABEL label;
    BYTE sid[SECURITY_MAX_SID_SIZE];
  } buffer;
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenIntegrityLevel, &buffer, sizeof buffer, &size)) return false;
  const PSID sid = buffer.label.Label.Sid;
  if (!IsValidSid(sid) || *GetSidSubAuthorityCount(sid) == 0) return false;
  level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
  return true;
}

bool ReadAppContainer(HANDLE token, bool& inside) {
  DWORD value = 0, size = 0;
  if (GetTokenInformation(token, TokenIsAppContainer, &value, sizeof value, &size)) {
    inside = value != 0;
    return true;
  }
  // Windows 7 does not know the question: it has no AppContainers.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return false;
  inside = false;
  return true;
}

}  // namespace

TokenFacts ProcessTokenFacts(DWORD processId) {
  TokenFacts facts;
  const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  HANDLE token = nullptr;
  if (!process || !OpenProcessToken(process.get(), TOKEN_QUERY, &token)) return facts;
  const KernelHandle tokenHolder(token);
  facts.known = ReadIntegrity(token, facts.integrity) && ReadAppContainer(token, facts.appContainer);
  if (facts.known && IsNamedSandboxed(processId)) facts = {true, kLowIntegrity, true};
  return facts;
}

bool MayWriteUnaskedInto(HWND dialog) {
  DWORD processId = 0;
  GetWindowThreadProcessId(dialog, &processId);
  return processId != 0 && MayWriteUnasked(ProcessTokenFacts(GetCurrentProcessId()), ProcessTokenFacts(processId));
}
