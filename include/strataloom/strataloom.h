// Everything a host needs: include this one header, then either link
// libstrataloom.so or load it with dlopen and look up CreateDataFactoryObject.
#pragma once

#include "strataloom/hooks.h"
#include "strataloom/iaoidata.h"
#include "strataloom/ibasicprojectdata.h"
#include "strataloom/ibasicwelldata.h"
#include "strataloom/idatabase.h"
#include "strataloom/ideviatedata.h"
#include "strataloom/ilogdata.h"
#include "strataloom/imarkerdata.h"
#include "strataloom/isectionwelllistdata.h"
#include "strataloom/iwelllistdata.h"
#include "strataloom/lasterror.h"
#include "strataloom/waitdialog.h"
