#include "presets/PresetSeams.h"
#include "presets/PresetStoreTesting.h"

PresetStoreTesting::Action PresetStoreTesting::beforeOpen;
PresetStoreTesting::Action PresetStoreTesting::beforeRemove;
PresetStoreTesting::Action PresetStoreTesting::beforeCommit;

void preset_seams::Reach(Moment moment, const std::filesystem::path& file) {
    const PresetStoreTesting::Action& act =
        moment == Moment::BeforeOpen     ? PresetStoreTesting::beforeOpen
        : moment == Moment::BeforeRemove ? PresetStoreTesting::beforeRemove
                                         : PresetStoreTesting::beforeCommit;
    if (act) act(file);
}
