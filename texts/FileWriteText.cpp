#include "texts/FileWriteText.h"

#include <cerrno>

#include "common/TextCodec.h"

namespace {

// Chinese words for the errno values a save meets in practice.
const char* SystemErrorWords(int error) {
  switch (error) {
    case ENOSPC: return "磁盘空间不足";
    case EDQUOT: return "超出磁盘配额";
    case EFBIG: return "文件超过允许的最大长度";
    case EACCES:
    case EPERM: return "没有写入权限";
    case EROFS: return "文件系统是只读的";
    case ENOENT: return "文件夹不存在";
    case ENOTDIR: return "路径中有一部分不是文件夹";
    case EISDIR: return "同名的文件夹已经存在";
    case ENAMETOOLONG: return "文件名太长";
    case EIO: return "磁盘读写错误";
    case EMFILE:
    case ENFILE: return "打开的文件太多";
    case ENOMEM: return "内存不足";
    case EBUSY:
    case ETXTBSY: return "文件正被占用";
    default: return "系统错误";
  }
}

const char* StepWords(WriteStep step) {
  switch (step) {
    case WriteStep::Prepare: return "无法生成文件内容";
    case WriteStep::Open: return "无法创建文件";
    case WriteStep::Write: return "写入失败";
    case WriteStep::Sync: return "无法把内容写到磁盘";
    case WriteStep::Rename: return "无法替换原有文件";
    case WriteStep::SyncFolder: return "无法确认文件夹已写到磁盘";
    case WriteStep::None: break;
  }
  return "保存失败";
}

}  // namespace

std::string FileWriteReasonWords(const FileWriteResult& result) {
  if (result.systemError != 0) return SystemErrorWords(result.systemError);
  if (result.code == StatusCode::kNoMemory) return "内存不足";
  return StepWords(result.step);
}

std::string FileWriteReason(const FileWriteResult& result) {
  std::string words = FileWriteReasonWords(result);
  std::string detail = FileWriteReasonText(result);
  if (!detail.empty()) words += "（" + detail + "）";
  return words;
}

std::string FileWritePathText(const FileWriteResult& result) { return Utf8OrEscaped(result.path); }

std::string FileWriteMessage(const FileWriteResult& result) {
  if (result.ok()) return {};
  std::string text = "文件“" + FileWritePathText(result) + "”";
  if (result.step == WriteStep::SyncFolder) {
    return text + "已经写入，但无法确认它已保存到磁盘：" + FileWriteReason(result) + "。";
  }
  return text + "保存失败：" + FileWriteReason(result) + "。原有的文件没有改动。";
}

