#include "platform/ErrorNumberText.h"

#include <cerrno>

namespace platform {

QString ErrorNumberText(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘空间已满");
    case EDQUOT:
        return QStringLiteral("超出磁盘配额");
    case EFBIG:
        return QStringLiteral("文件过大");
    case EIO:
        return QStringLiteral("输入/输出错误");
    case EBADF:
        return QStringLiteral("文件描述符无效");
    case EPIPE:
        return QStringLiteral("管道的读取端已关闭");
    case EACCES:
        return QStringLiteral("权限不够");
    case EPERM:
        return QStringLiteral("不允许的操作");
    case EROFS:
        return QStringLiteral("只读文件系统");
    case ENOENT:
        return QStringLiteral("没有那个文件或目录");
    case ENOTDIR:
        return QStringLiteral("路径中有一部分不是目录");
    case EISDIR:
        return QStringLiteral("是一个目录");
    case ENAMETOOLONG:
        return QStringLiteral("文件名过长");
    case ELOOP:
        return QStringLiteral("符号链接层数过多");
    case ENXIO:
        return QStringLiteral("没有那个设备或地址");
    case ENODEV:
        return QStringLiteral("没有那个设备");
    case EBUSY:
        return QStringLiteral("设备或资源忙");
    case ETXTBSY:
        return QStringLiteral("文件正被执行");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("打开的文件过多");
    case ENOMEM:
        return QStringLiteral("内存不足");
    case EINVAL:
        return QStringLiteral("无效的参数");
    case ECONNRESET:
        return QStringLiteral("连接被对方重置");
    default:
        return QStringLiteral("系统错误%1").arg(error);
    }
}

} // namespace platform
