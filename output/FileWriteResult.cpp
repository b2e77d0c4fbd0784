#include "output/FileWriteResult.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/TextCodec.h"

namespace {

// Chinese words for the errno values a save meets in practice.
const wchar_t* SystemErrorWords(int error) {
  switch (error) {
    case ENOSPC: return L"磁盘空间不足";
    case EDQUOT: return L"超出磁盘配额";
    case EFBIG: return L"文件超过允许的最大长度";
    case EACCES:
    case EPERM: return L"没有写入权限";
    case EROFS: return L"文件系统是只读的";
    case ENOENT: return L"文件夹不存在";
    case ENOTDIR: return L"路径中有一部分不是文件夹";
    case EISDIR: return L"同名的文件夹已经存在";
    case ENAMETOOLONG: return L"文件名太长";
    case EIO: return L"磁盘读写错误";
    case EMFILE:
    case ENFILE: return L"打开的文件太多";
    case ENOMEM: return L"内存不足";
    case EBUSY:
    case ETXTBSY: return L"文件正被占用";
    default: return L"系统错误";
  }
}

const wchar_t* StepWords(WriteStep step) {
  switch (step) {
    case WriteStep::Prepare: return L"无法生成文件内容";
    case WriteStep::Open: return L"无法创建文件";
    case WriteStep::Write: return L"写入失败";
    case WriteStep::Sync: return L"无法把内容写到磁盘";
    case WriteStep::Rename: return L"无法替换原有文件";
    case WriteStep::SyncFolder: return L"无法确认文件夹已写到磁盘";
    case WriteStep::None: break;
  }
  return L"保存失败";
}

}  // namespace

std::string FileWriteReasonText(const FileWriteResult& result) {
  if (result.systemError != 0) return std::error_code(result.systemError, std::generic_category()).message();
  if (!result.libraryText.empty()) return result.libraryText;
  if (result.code == rc::kNoMemory) return "out of memory";
  return result.ok() ? std::string() : std::string("unknown error");
}

std::wstring FileWriteReasonWords(const FileWriteResult& result) {
  if (result.systemError != 0) return SystemErrorWords(result.systemError);
  if (result.code == rc::kNoMemory) return L"内存不足";
  return StepWords(result.step);
}

std::wstring FileWriteReason(const FileWriteResult& result) {
  std::wstring words = FileWriteReasonWords(result);
  std::wstring detail = Utf8ToWide(FileWriteReasonText(result));
  if (!detail.empty()) words += L"（" + detail + L"）";
  return words;
}

std::wstring FileWritePathText(const FileWriteResult& result) {
  std::wstring file = Utf8ToWide(result.path);
  if (!file.empty() || result.path.empty()) return file;
  // Not UTF-8: the bytes from 0x80 on are shown as %XX rather than dropping the name.
  static const wchar_t kHex[] = L"0123456789ABCDEF";
  for (unsigned char c : result.path) {
    if (c < 0x80) {
      file += static_cast<wchar_t>(c);
    } else {
      file += L'%';
      file += kHex[c >> 4];
      file += kHex[c & 15];
    }
  }
  return file;
}

std::wstring FileWriteMessage(const FileWriteResult& result) {
  if (result.ok()) return {};
  std::wstring text = L"文件“" + FileWritePathText(result) + L"”";
  if (result.step == WriteStep::SyncFolder) {
    return text + L"已经写入，但无法确认它已保存到磁盘：" + FileWriteReason(result) + L"。";
  }
  return text + L"保存失败：" + FileWriteReason(result) + L"。原有的文件没有改动。";
}

std::string AbsoluteFilePath(const std::string& path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

FileWriteResult PrepareFailure(const std::string& path, int32_t code, const std::string& text) {
  FileWriteResult result;
  result.code = code;
  result.step = WriteStep::Prepare;
  result.path = AbsoluteFilePath(path);
  result.libraryText = text;
  return result;
}
