// Scenario files: any text through readersim's scenario loader. It must
// refuse or load, never crash: deep nesting, floats where integers belong,
// wrong shapes and card options of every kind.
#include <cstdint>
#include <string>

#include "server/families.h"
#include "server/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const sim::CardCatalog catalog = sim::fullCatalog();
    const std::string text(reinterpret_cast<const char*>(data), size);
    sim::Scenario scenario;
    std::string why;
    // Relative dump names resolve in a folder that does not exist, so no
    // file outside the input is read.
    (void)sim::parseScenario(text, "/nonexistent-kovalink-fuzz", catalog, &scenario, &why);
    return 0;
}
