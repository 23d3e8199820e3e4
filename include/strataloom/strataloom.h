// Everything a host needs: include this one header, then either link
// libstrataloom.so (find_package(strataloom) or pkg-config strataloom) or load
// it with dlopen and look up CreateDataFactoryObject. What every interface has
// in common (results, output, writes, units, and that host and module must
// share one C++ standard library): see idatabase.h. The version: version.h.
#pragma once

#include "strataloom/hooks.h"
#include "strataloom/ialiasdata.h"
#include "strataloom/iaoidata.h"
#include "strataloom/ibasicprojectdata.h"
#include "strataloom/ibasicwelldata.h"
#include "strataloom/icsdata.h"
#include "strataloom/icurvedictionary.h"
#include "strataloom/idatabase.h"
#include "strataloom/ideviatedata.h"
#include "strataloom/iearthshockbodydata.h"
#include "strataloom/iimagedata.h"
#include "strataloom/iinterpretdata.h"
#include "strataloom/ilateralcoredata.h"
#include "strataloom/ilinecoor2ddata.h"
#include "strataloom/ilinegrid3ddata.h"
#include "strataloom/ilithologymarkerdata.h"
#include "strataloom/ilogdata.h"
#include "strataloom/imarkerdata.h"
#include "strataloom/imetatypedata.h"
#include "strataloom/ioiltestdata.h"
#include "strataloom/ipicdata.h"
#include "strataloom/isectionwelllistdata.h"
#include "strataloom/ishotdata.h"
#include "strataloom/ismallmarkerdata.h"
#include "strataloom/istructuredata.h"
#include "strataloom/itakecoredata.h"
#include "strataloom/itextdata.h"
#include "strataloom/iwelllistdata.h"
#include "strataloom/lasterror.h"
#include "strataloom/logsamples.h"
#include "strataloom/version.h"
#include "strataloom/waitdialog.h"
