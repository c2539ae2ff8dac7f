#include "flow/model_loader_link.h"

void RecreateModelLoader() {}

void DestroyModelLoader() {}
