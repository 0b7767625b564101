#include "native/driver/function_loader.h"

void CNAFunctionLoader::g_Term()
{
}
