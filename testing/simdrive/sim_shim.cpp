// Linux side of the simulated drive for SCSI pass-through under Wine, loaded with LD_PRELOAD:
// answers the CD ioctls Wine issues for the file that stands in for the device (named by
// SONORIA_SIMDRIVE_DEVICE, recognised by st_dev/st_ino). That file is the disc image.
// Every other ioctl goes to the C library.
#include <dlfcn.h>
#include <linux/cdrom.h>
#include <scsi/sg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

#include "testing/simdrive/sim_drive.h"

namespace {

using IoctlFn = int (*)(int, unsigned long, ...);

bool IsSimDevice(int fd)
{
    const char* path = std::getenv("SONORIA_SIMDRIVE_DEVICE");
    struct stat want, have;
    if (!path || stat(path, &want) != 0 || fstat(fd, &have) != 0) return false;
    return want.st_dev == have.st_dev && want.st_ino == have.st_ino;
}

std::string ReadImage(int fd)
{
    std::string text;
    char chunk[4096];
    off_t at = 0;
    for (ssize_t n; (n = pread(fd, chunk, sizeof chunk, at)) > 0; at += n) text.append(chunk, n);
    return text;
}

int ScsiGeneric(int fd, sg_io_hdr_t* h)
{
    if (!h || h->interface_id != 'S') {
        errno = EINVAL;
        return -1;
    }
    bool dataIn = h->dxfer_direction == SG_DXFER_FROM_DEV;
    simdrive::SimReply r = simdrive::TheSimDrive().Execute(
        ReadImage(fd), h->cmdp, h->cmd_len, static_cast<uint8_t*>(h->dxferp),
        dataIn ? h->dxfer_len : 0);
    h->status = r.status;
    h->masked_status = r.status >> 1;
    h->msg_status = 0;
    h->host_status = 0;
    h->driver_status = 0;
    h->sb_len_wr = 0;
    h->resid = static_cast<int>(h->dxfer_len - (dataIn ? r.transferred : 0));
    h->duration = 1;
    h->info = SG_INFO_OK;
    if (r.status != simdrive::kStatusGood) {
        size_t n = h->mx_sb_len < sizeof r.sense ? h->mx_sb_len : sizeof r.sense;
        if (h->sbp && n) std::memcpy(h->sbp, r.sense, n);
        h->sb_len_wr = static_cast<unsigned char>(n);
        h->driver_status = 0x08;  // DRIVER_SENSE: sense data is valid
        h->info = SG_INFO_CHECK;
    }
    return 0;
}

int TocHeader(int fd, cdrom_tochdr* h)
{
    int first = 0, last = 0;
    if (!simdrive::TheSimDrive().TocHeader(ReadImage(fd), &first, &last)) {
        errno = ENOMEDIUM;
        return -1;
    }
    h->cdth_trk0 = static_cast<unsigned char>(first);
    h->cdth_trk1 = static_cast<unsigned char>(last);
    return 0;
}

int TocEntry(int fd, cdrom_tocentry* e)
{
    int lba = 0, control = 0;
    if (!simdrive::TheSimDrive().TocEntry(ReadImage(fd), e->cdte_track, &lba, &control)) {
        errno = EINVAL;
        return -1;
    }
    e->cdte_adr = 1;
    e->cdte_ctrl = control;
    e->cdte_datamode = 0;
    if (e->cdte_format == CDROM_MSF) {
        int f = lba + 150;
        e->cdte_addr.msf.minute = static_cast<unsigned char>(f / 4500);
        e->cdte_addr.msf.second = static_cast<unsigned char>(f / 75 % 60);
        e->cdte_addr.msf.frame = static_cast<unsigned char>(f % 75);
    } else {
        e->cdte_addr.lba = lba;
    }
    return 0;
}

}  // namespace

extern "C" int ioctl(int fd, unsigned long request, ...)
{
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if ((request == SG_IO || request == CDROMREADTOCHDR || request == CDROMREADTOCENTRY) &&
        IsSimDevice(fd)) {
        if (request == SG_IO) return ScsiGeneric(fd, static_cast<sg_io_hdr_t*>(arg));
        if (request == CDROMREADTOCHDR) return TocHeader(fd, static_cast<cdrom_tochdr*>(arg));
        return TocEntry(fd, static_cast<cdrom_tocentry*>(arg));
    }
    static IoctlFn real = reinterpret_cast<IoctlFn>(dlsym(RTLD_NEXT, "ioctl"));
    return real(fd, request, arg);
}
