#include "platformservices.h"

PlatformServices::~PlatformServices() = default;
