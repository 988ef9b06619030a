#include <cstdio>

#include "cli/Commands.h"

namespace pictora::cli {

const char* UsageText() {
    return "usage: pictora-cli train IMAGE.png [options] [-o OUT]...\n"
           "       pictora-cli decode CODED.mqc|CODED.huf|CODED.art -o OUT.png\n"
           "       pictora-cli apply IMAGE.png BOOK.cod [-o OUT]... [--results FILE.csv]\n"
           "       pictora-cli apply IMAGE.png R.cod:1 G.cod:2 B.cod:3 [-o OUT]... [--results FILE.csv]\n"
           "       pictora-cli info FILE.mqc|FILE.huf|FILE.art|FILE.cod\n"
           "\n"
           "train   trains one codebook per colour channel on an 8-bit RGB PNG image,\n"
           "        step by step, printing one row of results after every step\n"
           "decode  rebuilds the RGB image of a coded image\n"
           "apply   codes an image with stored codebooks: the three of one file, or\n"
           "        section k of each of three files (FILE:k, k from 1)\n"
           "info    describes the channels of a coded image or the sections of a codebook file\n"
           "\n"
           "train options (a list V0,V1,V2 gives one value per channel, a single V all three):\n"
           "  --color-space rgb|ycbcr444|ycbcr420   colour space of the channels (rgb)\n"
           "  --block N|N0,N1,N2         block side in pixels, 2 to 12 (8)\n"
           "  --steps S|S0,S1,S2         training steps per channel (1)\n"
           "  --radius R|R0,R1,R2        training radius R (0.1)\n"
           "  --alfa A|A0,A1,A2          learning rate ALFA (0.1)\n"
           "  --filter none|3|5|7|9      box low-pass filter on the reconstruction (none)\n"
           "  --entropy none|huffman|arithmetic   lossless stage measured after each step (none)\n"
           "  --results FILE.csv         also write the rows as CSV\n"
           "  --reference-search         search with the plain scan, one neuron after another on\n"
           "                             one thread: the same results, slower, for comparison\n"
           "  -o OUT                     write a result, the kind chosen by extension:\n"
           "                             .png reconstruction, .mqc coded image, .huf or .art\n"
           "                             coded image through a lossless coder, .cod codebooks\n"
           "\n"
           "exit status: 0 success, 1 unreadable or unsupported file, 2 usage error\n";
}

int ReportBadFile(const std::string& message) {
    std::fprintf(stderr, "pictora-cli: %s\n", message.c_str());
    return kExitBadFile;
}

int ReportUsageError(const std::string& message) {
    std::fprintf(stderr, "pictora-cli: %s\n\n%s", message.c_str(), UsageText());
    return kExitUsage;
}

}  // namespace pictora::cli
