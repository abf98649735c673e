// The spectrum database reader on arbitrary bytes: no crash, the database unchanged by a file that does not load,
// and a file that loads, saved again, loads to the same entries.

#include <cstddef>
#include <cstdint>

#include "core/LumoData.h"
#include "core/SpectrumDatabase.h"
#include "fuzz/FuzzSupport.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

LumoData InWorkFolder()
{
    LumoData d;
    d.AppPath = WorkFolder();
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QByteArray untouched = SpectrumDatabaseBytes(LumoData{});
    const QByteArray input = Bytes(data, size);
    WriteWorkFile(SpectrumDatabaseFileName, input);

    LumoData d = InWorkFolder();
    QuietPrompter prompter;
    i16 failed = 0;
    LoadSpectrumDatabase(d, prompter, failed);
    if (failed) {
        Check(prompter.messages == 1, "a database that does not load must say so once", input);
        Check(SpectrumDatabaseBytes(d) == untouched, "a database that does not load changed the entries", input);
        return 0;
    }
    Check(prompter.messages == 0, "a database that loads showed a message", input, prompter.lastText.toUtf8());

    const QByteArray saved = SpectrumDatabaseBytes(d);
    WriteWorkFile(SpectrumDatabaseFileName, saved);
    LumoData again = InWorkFolder();
    LoadSpectrumDatabase(again, prompter, failed);
    Check(!failed, "the database as saved does not load", input, saved);
    Check(SpectrumDatabaseBytes(again) == saved, "the database as saved loads to other entries", saved,
          SpectrumDatabaseBytes(again));
    for (int i = 0; i < SpectrumCount; ++i)
        CheckSameText(d.SpecName(i), again.SpecName(i), "a spectrum name changed by saving");
    return 0;
}
