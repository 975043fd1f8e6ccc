#include "SystemErrorText.h"

#include <cerrno>
#include <cstring>

namespace ocable::hostapp {

std::string systemErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "没有权限";
    case ENOENT:
        return "不存在";
    case ENOTDIR:
        return "路径中有一段不是目录";
    case EROFS:
        return "只读文件系统";
    case ENOSPC:
        return "磁盘已满";
    case EDQUOT:
        return "超出磁盘配额";
    case EISDIR:
        return "是目录";
    case ELOOP:
        return "符号链接太多";
    case ENAMETOOLONG:
        return "路径太长";
    case EIO:
        return "输入输出错误";
    case EPIPE:
        return "读取端已关闭";
    default:
        return std::strerror(error);
    }
}

} // namespace ocable::hostapp
