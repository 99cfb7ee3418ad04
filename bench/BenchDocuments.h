// SPDX-FileCopyrightText: 2026 The Quillo developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Documents shaped like the ones players send, at the sizes that matter.
namespace benchdocs {

// A ZoneGroupState of `players` players in groups of up to three, with the
// full attribute set of current firmware and one invisible satellite each.
QString topology(int players);
// A Browse Result page of `items` favorites, each with an escaped r:resMD.
QString didlPage(int items);
// A DIDL-Lite document of about `bytes` bytes.
QString documentOfSize(int bytes);

} // namespace benchdocs
