#pragma once

// Everything is built with hidden visibility; only the names marked here (and
// listed in the deliverable's version script) leave the module.
#define VX_EXPORT __attribute__((visibility("default")))
