// Rotation, projection, angles, drift, depth sorting and the shape order: the integer and
// single-precision arithmetic that moves the dots. Everything here is a plain function of its
// arguments, so that each rule can be checked on its own; each job has a unit of its own:
//   tables.h       the sine and cosine tables
//   rotation.h     rotation, projection and the angles' advance
//   drift.h        the drifting centre
//   depth_sort.h   the far-to-near order, reference and fast
//   shape_order.h  the shuffle of the nine shapes
#pragma once

#include "engine/depth_sort.h"
#include "engine/drift.h"
#include "engine/rotation.h"
#include "engine/shape_order.h"
#include "engine/tables.h"
