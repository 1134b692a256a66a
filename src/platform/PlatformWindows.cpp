// Windows.  Every name goes through the UTF-16 ("W") functions, so names
// outside the system's code page work; long paths get the "\\?\" prefix.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "platform/Platform.h"
#include "platform/PlatformCommon.h"

namespace tessa::platform {

namespace {

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring w(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

std::string Utf8(const wchar_t* w, size_t len) {
  if (len == 0) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string s(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(len), s.data(), n, nullptr, nullptr);
  return s;
}

std::string Utf8(const std::wstring& w) { return Utf8(w.data(), w.size()); }

// The path as the W functions take it.  Paths beyond the old limit of 260
// characters (248 for a folder) are made absolute and given the "\\?\"
// prefix, which lifts the limit; shorter ones stay as they are, so that
// relative paths and "/" keep working as the user wrote them.
std::wstring SystemPath(const std::string& path) {
  std::wstring w = Wide(path);
  constexpr size_t kOldLimit = 240;
  if (w.size() < kOldLimit || w.rfind(L"\\\\?\\", 0) == 0) return w;
  const DWORD n = ::GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return w;
  std::wstring full(n, L'\0');
  const DWORD k = ::GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  if (k == 0 || k >= n) return w;
  full.resize(k);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// The system's text for an error code, in UTF-8, without the line end.
std::string ErrorText(DWORD code) {
  wchar_t* buf = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::string text = n > 0 && buf ? Utf8(buf, n) : "error " + std::to_string(code);
  if (buf) ::LocalFree(buf);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text;
}

// What failed with the system's reason for the last error.
std::string SystemReason(const std::string& what) {
  const DWORD e = ::GetLastError();
  return e == 0 ? what : what + ": " + ErrorText(e);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// An open handle, closed when the object goes.
class THandle {
 public:
  THandle() = default;
  explicit THandle(HANDLE h) : h_(h) {}
  ~THandle() { Close(); }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  void Reset(HANDLE h) {
    Close();
    h_ = h;
  }
  void Close() {
    if (ok()) ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }
  // Closes, telling whether the system reported a failure.
  bool CloseChecked() {
    const bool closed = !ok() || ::CloseHandle(h_) != 0;
    h_ = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE h_ = INVALID_HANDLE_VALUE;
};

// Opens what path names, file or folder, for its attributes only.
HANDLE OpenForAttributes(const std::string& path, DWORD access, DWORD share, DWORD flags = 0) {
  return ::CreateFileW(SystemPath(path).c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// 100-nanosecond steps between 1601-01-01 and 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;

std::optional<TLocalMs> LocalMs(const FILETIME& utc) {
  if (utc.dwLowDateTime == 0 && utc.dwHighDateTime == 0) return std::nullopt;
  SYSTEMTIME su, sl;
  FILETIME local;
  // The offset that held on that date (summer time included), as the
  // file's date shows on the local clock.
  if (!::FileTimeToSystemTime(&utc, &su) || !::SystemTimeToTzSpecificLocalTime(nullptr, &su, &sl) ||
      !::SystemTimeToFileTime(&sl, &local))
    return std::nullopt;
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(local.dwHighDateTime) << 32) |
                                             local.dwLowDateTime);
  const int64_t since = ticks - kUnixEpochTicks;
  return since >= 0 ? since / 10000 : -((-since + 9999) / 10000);
}

}  // namespace

// ---- Files and folders --------------------------------------------------------

char PathSeparator() { return '\\'; }
std::string_view Separators() { return "\\/"; }

std::FILE* OpenFile(const std::string& path, const char* mode) {
  if (!ValidPath(path)) return nullptr;
  return ::_wfopen(SystemPath(path).c_str(), Wide(mode).c_str());
}

TFileStatus Examine(const std::string& path) {
  TFileStatus s;
  if (!ValidPath(path)) {
    s.error = ErrorText(ERROR_FILE_NOT_FOUND);
    return s;
  }
  THandle h(OpenForAttributes(path, 0, kShareAll));
  if (!h.ok()) {
    const DWORD e = ::GetLastError();
    s.error = ErrorText(e);
    s.why = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND ? TMissing::absent
            : e == ERROR_FILENAME_EXCED_RANGE                      ? TMissing::nameTooLong
            : e == ERROR_ACCESS_DENIED                             ? TMissing::denied
                                                                   : TMissing::other;
    return s;
  }
  // Devices (CON, NUL, COM1 ...) and pipes are no files to read.
  if (::GetFileType(h.get()) != FILE_TYPE_DISK) {
    s.kind = TFileKind::other;
    return s;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(h.get(), &info)) {
    s.kind = TFileKind::other;
    return s;
  }
  s.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? TFileKind::folder : TFileKind::file;
  s.id = {info.dwVolumeSerialNumber,
          (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  return s;
}

bool SameFile(const std::string& a, const std::string& b) {
  const TFileStatus sa = Examine(a);
  if (sa.kind != TFileKind::file && sa.kind != TFileKind::folder) return false;
  const TFileStatus sb = Examine(b);
  return sb.kind == sa.kind && sa.id == sb.id;
}

bool RemoveFile(const std::string& path) {
  return ValidPath(path) && ::DeleteFileW(SystemPath(path).c_str()) != 0;
}

bool MakeOneFolder(const std::string& path) {
  return ValidPath(path) && ::CreateDirectoryW(SystemPath(path).c_str(), nullptr) != 0;
}

bool RemoveFolder(const std::string& path) {
  return ValidPath(path) && ::RemoveDirectoryW(SystemPath(path).c_str()) != 0;
}

std::vector<std::string> ListFolder(const std::string& path) {
  std::vector<std::string> names;
  if (!ValidPath(path)) return names;
  std::wstring pattern = SystemPath(path);
  if (pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW e;
  const HANDLE find = ::FindFirstFileW(pattern.c_str(), &e);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = e.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8(name));
  } while (::FindNextFileW(find, &e));
  ::FindClose(find);
  return names;
}

std::optional<TLocalMs> FileTime(const std::string& path, TFileTime which) {
  if (!ValidPath(path)) return std::nullopt;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data))
    return std::nullopt;
  if (which == TFileTime::created) {
    if (auto t = LocalMs(data.ftCreationTime)) return t;
  }
  return LocalMs(data.ftLastWriteTime);
}

bool ChangeFileTime(const std::string& path, TFileTime which,
                    std::chrono::system_clock::time_point t) {
  if (!ValidPath(path)) return false;
  using namespace std::chrono;
  using ticks100ns = duration<int64_t, std::ratio<1, 10000000>>;
  const int64_t ticks = floor<ticks100ns>(t.time_since_epoch()).count() + kUnixEpochTicks;
  if (ticks <= 0) return false;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  THandle h(OpenForAttributes(path, FILE_WRITE_ATTRIBUTES, kShareAll));
  if (!h.ok()) return false;
  const bool created = which == TFileTime::created;
  return ::SetFileTime(h.get(), created ? &ft : nullptr, nullptr, created ? nullptr : &ft) != 0;
}

// ---- Reading a whole file -----------------------------------------------------

struct TInputFile::TState {
  THandle h;
};

TInputFile::TInputFile() : s_(std::make_unique<TState>()) {}
TInputFile::~TInputFile() = default;

bool TInputFile::Open(const std::string& path) {
  Close();
  if (!ValidPath(path)) return false;
  HANDLE h = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  s_->h.Reset(h);
  return s_->h.ok();
}

uint64_t TInputFile::SizeHint() const {
  LARGE_INTEGER size;
  if (!s_->h.ok() || !::GetFileSizeEx(s_->h.get(), &size) || size.QuadPart <= 0) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

int64_t TInputFile::Read(void* p, size_t n) {
  if (!s_->h.ok()) return -1;
  constexpr size_t kMostAtOnce = size_t{1} << 30;
  DWORD got = 0;
  if (!::ReadFile(s_->h.get(), p, static_cast<DWORD>(n < kMostAtOnce ? n : kMostAtOnce), &got,
                  nullptr))
    return -1;
  return got;
}

void TInputFile::Close() { s_->h.Close(); }

// ---- Replacing a file in one step ---------------------------------------------
//
// The data go into ".<name>.XXXXXX.tmp" beside the target; Commit flushes
// it to the disk and moves it over the target with write-through, which
// returns only once the new name is on the disk too.  A process killed in
// between leaves that file, recognisable by its name.

struct TAtomicFile::TState {
  THandle h;
  std::string dst;
  std::string tmp;
  std::string error;
  bool replace = true;
  bool exists = false;

  bool Fail(const std::string& what) {
    error = SystemReason(what);
    return false;
  }
  void Drop() {
    h.Close();
    if (!tmp.empty()) {
      ::DeleteFileW(SystemPath(tmp).c_str());
      tmp.clear();
    }
  }
};

TAtomicFile::TAtomicFile() : s_(std::make_unique<TState>()) {}
TAtomicFile::~TAtomicFile() { Abort(); }

const std::string& TAtomicFile::Error() const { return s_->error; }
bool TAtomicFile::TargetExists() const { return s_->exists; }
const std::string& TAtomicFile::TempPath() const { return s_->tmp; }
void TAtomicFile::Abort() { s_->Drop(); }

bool TAtomicFile::Open(const std::string& dst, bool replace) {
  TState& s = *s_;
  s.Drop();
  s.error.clear();
  s.replace = replace;
  s.exists = false;
  if (SplitPath(dst).base.empty()) {
    s.error = "the output path has no file name";
    return false;
  }
  s.dst = dst;
  const std::string pattern = TempPattern(dst);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = RandomName(pattern);
    HANDLE h = ::CreateFileW(SystemPath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      s.h.Reset(h);
      s.tmp = name;
      return true;
    }
    const DWORD e = ::GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) break;
  }
  return s.Fail("cannot create a file in its folder");
}

bool TAtomicFile::Write(const char* p, size_t n) {
  TState& s = *s_;
  if (!s.h.ok()) {
    if (s.error.empty()) s.error = "the output file is not open";
    return false;
  }
  constexpr size_t kMostAtOnce = size_t{1} << 30;
  while (n > 0) {
    DWORD put = 0;
    const DWORD step = static_cast<DWORD>(n < kMostAtOnce ? n : kMostAtOnce);
    if (!::WriteFile(s.h.get(), p, step, &put, nullptr))
      return s.Fail("writing failed");
    if (put == 0) {
      s.error = "writing failed: nothing was written";
      return false;
    }
    p += put;
    n -= put;
  }
  return true;
}

bool TAtomicFile::Commit() {
  TState& s = *s_;
  if (!s.h.ok()) {
    if (s.error.empty()) s.error = "the output file is not open";
    return false;
  }
  bool ok = ::FlushFileBuffers(s.h.get()) != 0;
  if (!ok) s.Fail("syncing failed");
  if (!s.h.CloseChecked() && ok) ok = s.Fail("closing the written file failed");
  if (ok) {
    // Without REPLACE_EXISTING the move never replaces: a file that
    // appeared meanwhile stays.
    const DWORD how = MOVEFILE_WRITE_THROUGH | (s.replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!::MoveFileExW(SystemPath(s.tmp).c_str(), SystemPath(s.dst).c_str(), how)) {
      const DWORD e = ::GetLastError();
      s.exists = !s.replace && (e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS);
      ok = s.Fail(s.exists ? "the output exists already"
                           : "cannot give the written file its name");
    } else {
      s.tmp.clear();
    }
  }
  if (!ok) {
    s.Drop();
    return false;
  }
  return true;
}

// Each Commit flushes its own file; Windows has no cheaper way to hand
// several files to the disk together.
void SyncTogether(std::span<TAtomicFile* const> files) { (void)files; }

// ---- Folders owned by a live process ------------------------------------------
//
// The owner holds the folder open for listing, sharing every access; a
// sweeping process opens it for listing and deleting while refusing to
// share listing, which fails while an owner's (or another sweeper's)
// handle is open and keeps owners out until it is done.  It still shares
// deletion, so the files inside can go, and deletes the folder through
// its own handle.

namespace {

constexpr DWORD kOwnerAccess = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
constexpr DWORD kSweeperAccess = DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES;
constexpr DWORD kSweeperShare = FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The folder is a plain one (no link to elsewhere) and not being deleted.
bool PlainLiveFolder(HANDLE h) {
  BY_HANDLE_FILE_INFORMATION info;
  FILE_STANDARD_INFO standard;
  return ::GetFileInformationByHandle(h, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
         ::GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard) &&
         !standard.DeletePending;
}

// The names in the folder open as h, read through that handle: a sweeper
// shares no listing, so the folder cannot be listed by name meanwhile.
std::vector<std::string> NamesIn(HANDLE h) {
  std::vector<std::string> names;
  alignas(FILE_ID_BOTH_DIR_INFO) unsigned char buf[16384];
  FILE_INFO_BY_HANDLE_CLASS step = FileIdBothDirectoryRestartInfo;
  while (::GetFileInformationByHandleEx(h, step, buf, sizeof buf)) {
    step = FileIdBothDirectoryInfo;
    for (size_t at = 0;;) {
      const auto* e = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buf + at);
      const std::wstring name(e->FileName, e->FileNameLength / sizeof(wchar_t));
      if (name != L"." && name != L"..") names.push_back(Utf8(name));
      if (e->NextEntryOffset == 0) break;
      at += e->NextEntryOffset;
    }
  }
  return names;
}

}  // namespace

struct TOwnedFolder::TState {
  std::string dir;
  THandle h;
};

TOwnedFolder::TOwnedFolder() : s_(std::make_unique<TState>()) {}
TOwnedFolder::~TOwnedFolder() { Release(); }
TOwnedFolder::TOwnedFolder(TOwnedFolder&& o) noexcept : s_(std::make_unique<TState>()) {
  std::swap(s_, o.s_);
}
TOwnedFolder& TOwnedFolder::operator=(TOwnedFolder&& o) noexcept {
  std::swap(s_, o.s_);
  return *this;
}

const std::string& TOwnedFolder::Dir() const { return s_->dir; }

void TOwnedFolder::Release() {
  s_->h.Close();
  s_->dir.clear();
}

bool TOwnedFolder::Make(const std::string& base, const std::string& prefix) {
  Release();
  std::string folder = base;
  if (folder.empty() || !IsPathSeparator(folder.back())) folder.push_back('\\');
  const std::string pattern = folder + prefix + std::string(kOwnedFolderRandomChars, 'X');
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = RandomName(pattern);
    if (!::CreateDirectoryW(SystemPath(name).c_str(), nullptr)) {
      if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
      return false;
    }
    // A sweeping process may have taken the new folder for a stale one
    // before it was held; then it is gone or going.
    HANDLE h = OpenForAttributes(name, kOwnerAccess, kShareAll, FILE_FLAG_OPEN_REPARSE_POINT);
    if (h != INVALID_HANDLE_VALUE && PlainLiveFolder(h)) {
      s_->h.Reset(h);
      s_->dir = name + "\\";
      return true;
    }
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    ::RemoveDirectoryW(SystemPath(name).c_str());
  }
  return false;
}

bool RemoveStaleFolder(const std::string& path) {
  if (!ValidPath(path)) return false;
  // Refused while an owner holds the folder (this process's own included).
  THandle h(OpenForAttributes(path, kSweeperAccess, kSweeperShare, FILE_FLAG_OPEN_REPARSE_POINT));
  if (!h.ok() || !PlainLiveFolder(h.get())) return false;
  std::string dir = path;
  if (!IsPathSeparator(dir.back())) dir.push_back('\\');
  for (const std::string& name : NamesIn(h.get())) RemoveFile(dir + name);
  FILE_DISPOSITION_INFO gone{TRUE};
  return ::SetFileInformationByHandle(h.get(), FileDispositionInfo, &gone, sizeof gone) != 0;
}

// ---- The process ----------------------------------------------------------------

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::string> args;
  int n = 0;
  if (wchar_t** w = ::CommandLineToArgvW(::GetCommandLineW(), &n)) {
    for (int i = 0; i < n; ++i) args.push_back(Utf8(w[i], std::wcslen(w[i])));
    ::LocalFree(w);
    return args;
  }
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  return args;
}

std::string ExecutablePath(const char* argv0) {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return argv0 != nullptr ? argv0 : "";
    if (n < buf.size()) return Utf8(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

// Windows gives large pages only to programs holding a privilege for them.
void AdviseHugePages(const void* p, size_t bytes) {
  (void)p;
  (void)bytes;
}

void KeepLargeBlocksOnHeap(size_t threshold, size_t topPad) {
  (void)threshold;
  (void)topPad;
}

// Windows has no file-size limit signal: a write beyond a limit fails.
void IgnoreFileSizeLimitSignal() {}

void UseUtf8Terminal() {
  ::SetConsoleOutputCP(CP_UTF8);
  for (const DWORD id : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) {
    const HANDLE h = ::GetStdHandle(id);
    DWORD mode = 0;
    if (::GetConsoleMode(h, &mode)) ::SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  }
}

// Windows tells a folder's write permission only by trying a file in it;
// the write's own failure then says why.
std::string FolderRefusesFiles(const std::string&) { return {}; }

bool ErrorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

int TerminalColumns(int fallback) {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) {
    const int width = info.srWindow.Right - info.srWindow.Left + 1;
    if (width > 0) return width;
  }
  return fallback;
}

}  // namespace tessa::platform
