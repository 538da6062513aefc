// libFuzzer target: any picture file is read or refused, and whatever decodes
// becomes a surface map and a ring profile without reading or writing outside them.
#include <QGuiApplication>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/Records.h"
#include "imagery/Rings.h"
#include "imagery/SpherePix.h"
#include "io/Pictures.h"
#include "platform/qt/QtBackend.h"

namespace {
std::string picturePath;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    static QtBackend backend;
    SetPlatformBackend(&backend);
    picturePath = "/tmp/gravitas-picture-fuzz-" + std::to_string(::getpid()) + ".pict";
    std::atexit([] { std::remove(picturePath.c_str()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Through a real file, as the application reads them.
    std::FILE* f = std::fopen(picturePath.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    const Handle picture = ReadPICTFile(picturePath);
    if (size < 512 && picture) std::abort();
    if (!picture) return 0;
    if (size_t(GetHandleSize(picture)) != size - 512) std::abort();

    const Handle ring = NewRingPixMapFromPICT(picture);
    if (ring && GetHandleSize(ring) != 4096) std::abort();
    DisposeHandle(ring);
    const Handle list = NewSpherePixList();
    const int32_t n = AddPICTToSpherePixList(list, picture);  // the list owns the picture now
    if (n == 0) DisposeHandle(picture);
    DisposeSpherePixList(list);
    return 0;
}
