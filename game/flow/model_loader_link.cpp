#include "flow/model_loader_link.h"

#include "model/model_compositor.h"

void RecreateModelLoader() { CModelCompositor::Recreate(); }

void DestroyModelLoader() { CModelCompositor::Destroy(); }
