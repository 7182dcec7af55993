// Fuzz target: macro source text through the compiler. Whatever compiles
// must give an image that writes, reads back identically and passes the
// loader's checks; nothing is run (a fuzzed macro could write files).
#include "script/BinProg.h"
#include "script/Compiler.h"
#include "script/ScriptErrors.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view source(reinterpret_cast<const char*>(data), size);
    TProgramImage image;
    try {
        THalCompiler compiler(source);
        image = compiler.Compile();
    } catch (const ECompilerError&) {
        return 0;
    }
    const std::vector<std::uint8_t> bytes = WriteImage(image);
    const TProgramImage back = ReadImage(bytes);
    if (back.Code != image.Code || back.Labels != image.Labels || WriteImage(back) != bytes) std::abort();
    // A compiled program always passes the loader's checks.
    TBinProg program(back);
    return 0;
}
