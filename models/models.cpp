#include "models.h"

#include "models_counts.h"

#define MODEL_RECORD(n, stride)                                     \
  extern "C" const float models_##n##_tris[], models_##n##_lines[]; \
  geomdesc geomdesc_##n = {#n,                                      \
                           MODELS_NUMT_##n,                         \
                           MODELS_NUML_##n,                         \
                           models_##n##_tris,                       \
                           models_##n##_lines,                      \
                           {},                                      \
                           MODELS_NUMT_##n * 3 * (stride),          \
                           MODELS_NUML_##n * 24,                    \
                           {}};

MODEL_RECORD(stone, 36)
MODEL_RECORD(buildmark, 36)
MODEL_RECORD(food, 36)
MODEL_RECORD(grain, 36)
MODEL_RECORD(bucke, 36)
MODEL_RECORD(buckf, 36)
MODEL_RECORD(platee, 36)
MODEL_RECORD(platef, 36)
MODEL_RECORD(sickle, 36)
MODEL_RECORD(farm, 36)
MODEL_RECORD(bakery, 36)
MODEL_RECORD(catsit, 36)
MODEL_RECORD(catstand, 36)
MODEL_RECORD(cursormdpos, 36)
MODEL_RECORD(cursormdneg, 36)
MODEL_RECORD(cursorarea, 36)
MODEL_RECORD(mappedbakery, 32)
MODEL_RECORD(mappedtent, 32)
MODEL_RECORD(mappedtaxcollector, 32)
MODEL_RECORD(mappedterraingrn, 32)
MODEL_RECORD(mappedterrainylw, 32)
MODEL_RECORD(mappedterrainblu, 32)
MODEL_RECORD(mappedcarrier, 28)
