// HRPRO410.DLL, the demo driver package's print processor: it takes jobs of the data type
// "RAW" and copies each one unchanged from the spooled job to the printer, as the printer's
// language is already in the job. The spooler registers a print processor from a DLL that
// exports the six functions below.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cwchar>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

const wchar_t kRawDatatype[] = L"RAW";
// What is copied from the job to the printer at a time.
constexpr DWORD kCopyChunkBytes = 4096;

// One job being processed, between OpenPrintProcessor and ClosePrintProcessor. The spooler
// may cancel it from another thread while it is copied.
struct RawJob {
  std::wstring printerName;
  std::wstring documentName;
  volatile LONG cancelled = 0;
};

// A printer or job opened through the spooler, closed when it goes.
class OpenedPrinter {
 public:
  explicit OpenedPrinter(const std::wstring& name) {
    std::vector<wchar_t> writable(name.begin(), name.end());
    writable.push_back(L'\0');
    if (!::OpenPrinterW(writable.data(), &handle_, nullptr)) handle_ = nullptr;
  }
  ~OpenedPrinter() {
    if (handle_ != nullptr) ::ClosePrinter(handle_);
  }
  OpenedPrinter(const OpenedPrinter&) = delete;
  OpenedPrinter& operator=(const OpenedPrinter&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

bool IsRaw(const wchar_t* datatype) { return datatype != nullptr && ::_wcsicmp(datatype, kRawDatatype) == 0; }

}  // namespace

// Level 1: the one data type this processor takes.
extern "C" __declspec(dllexport) BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR, LPWSTR, DWORD level,
                                                                         LPBYTE datatypes, DWORD size,
                                                                         LPDWORD needed, LPDWORD returned) {
  if (needed == nullptr || returned == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *returned = 0;
  if (level != 1) {
    ::SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  const DWORD required = sizeof(DATATYPES_INFO_1W) + sizeof(kRawDatatype);
  *needed = required;
  if (datatypes == nullptr || size < required) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* record = reinterpret_cast<DATATYPES_INFO_1W*>(datatypes);
  auto* text = reinterpret_cast<wchar_t*>(datatypes + sizeof(DATATYPES_INFO_1W));
  std::wmemcpy(text, kRawDatatype, sizeof(kRawDatatype) / sizeof(wchar_t));
  record->pName = text;
  *returned = 1;
  return TRUE;
}

extern "C" __declspec(dllexport) HANDLE WINAPI OpenPrintProcessor(LPWSTR printerName, PPRINTPROCESSOROPENDATA open) {
  if (printerName == nullptr || open == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!IsRaw(open->pDatatype)) {
    ::SetLastError(ERROR_INVALID_DATATYPE);
    return nullptr;
  }
  std::unique_ptr<RawJob> job(new (std::nothrow) RawJob);
  if (!job) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  job->printerName = printerName;
  if (open->pDocumentName != nullptr) job->documentName = open->pDocumentName;
  return job.release();
}

// `jobName` is "<printer>, Job <id>": the spooled job to read from.
extern "C" __declspec(dllexport) BOOL WINAPI PrintDocumentOnPrintProcessor(HANDLE processor, LPWSTR jobName) {
  auto* job = static_cast<RawJob*>(processor);
  if (job == nullptr || jobName == nullptr) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  OpenedPrinter source(jobName);
  if (source.Get() == nullptr) return FALSE;
  OpenedPrinter printer(job->printerName);
  if (printer.Get() == nullptr) return FALSE;

  std::vector<wchar_t> document(job->documentName.begin(), job->documentName.end());
  document.push_back(L'\0');
  wchar_t datatype[] = L"RAW";
  DOC_INFO_1W info = {document.data(), nullptr, datatype};
  if (::StartDocPrinterW(printer.Get(), 1, reinterpret_cast<LPBYTE>(&info)) == 0) return FALSE;

  std::vector<BYTE> chunk(kCopyChunkBytes);
  BOOL copied = TRUE;
  while (job->cancelled == 0) {
    DWORD read = 0;
    if (!::ReadPrinter(source.Get(), chunk.data(), kCopyChunkBytes, &read)) {
      copied = FALSE;
      break;
    }
    if (read == 0) break;  // the end of the job
    DWORD written = 0;
    if (!::WritePrinter(printer.Get(), chunk.data(), read, &written) || written != read) {
      copied = FALSE;
      break;
    }
  }
  ::EndDocPrinter(printer.Get());
  return copied;
}

extern "C" __declspec(dllexport) BOOL WINAPI ControlPrintProcessor(HANDLE processor, DWORD command) {
  auto* job = static_cast<RawJob*>(processor);
  if (job == nullptr) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (command == JOB_CONTROL_CANCEL) ::InterlockedExchange(&job->cancelled, 1);
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI ClosePrintProcessor(HANDLE processor) {
  std::unique_ptr<RawJob> job(static_cast<RawJob*>(processor));
  if (!job) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

// One copy, no pages on a sheet other than one: a raw job is the printer's own.
extern "C" __declspec(dllexport) DWORD WINAPI GetPrintProcessorCapabilities(LPTSTR, DWORD, LPBYTE data, DWORD size,
                                                                           LPDWORD needed) {
  if (needed == nullptr) return ERROR_INVALID_PARAMETER;
  *needed = sizeof(PRINTPROCESSOR_CAPS_1);
  if (data == nullptr || size < sizeof(PRINTPROCESSOR_CAPS_1)) return ERROR_MORE_DATA;
  auto* caps = reinterpret_cast<PRINTPROCESSOR_CAPS_1*>(data);
  caps->dwLevel = 1;
  caps->dwNupOptions = 1;
  caps->dwPageOrderFlags = NORMAL_PRINT;
  caps->dwNumberOfCopies = 1;
  return ERROR_SUCCESS;
}
