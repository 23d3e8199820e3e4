// Everything a host needs: include this one header, then either link
// libstrataloom.so or load it with dlopen and look up CreateDataFactoryObject.
#pragma once

#include "strataloom/hooks.h"
#include "strataloom/ibasicwelldata.h"
#include "strataloom/idatabase.h"
