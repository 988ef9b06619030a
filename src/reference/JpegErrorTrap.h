#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace pictora {

// What libjpeg needs to report a failure without ending the program: its
// default error_exit calls exit(). The handlers installed here format the
// message into `message` and longjmp to `jump`, which the function driving
// libjpeg sets with setjmp. Warnings count as failures too: libjpeg merely
// warns about a file that ends early or carries corrupt data and fills the
// missing part with grey, and a reference file read that way would be
// measured as if the codec had produced that grey.
struct JpegErrorTrap {
    jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the trap
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Sets up the handlers and returns the manager to store in cinfo.err.
jpeg_error_mgr* InstallJpegErrorTrap(JpegErrorTrap& trap);

}  // namespace pictora
