// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the interpretation-result and oil-test
// interfaces on a copy of the template and, with STRATALOOM_TEST_SERVER set,
// on a database it creates on that server with CreateSqlServerDatabase.
#include "host/wellfamily.h"

namespace {

InterpretSet Interpretations(const char* well) {
    InterpretSet set;
    set.WellName = well;
    set.Records.resize(2);
    set.Records[0].InterpretName = "L1";
    set.Records[0].InterpretResult = "oil";
    set.Records[0].TopDepth = 1100.0;
    set.Records[0].BottomDepth = 1108.5;
    set.Records[0].IrresibleWaterSaturation = 0.35;
    set.Records[1].InterpretName = "L2";
    set.Records[1].InterpretResult = "water";
    set.Records[1].TopDepth = 1200.0;
    set.Records[1].ReservoirTemperatureGrad = 3.1;
    return set;
}

bool InterpretationsLoaded(const InterpretSet& set) {
    return set.Records.size() == 2 && set.Records[0].IrresibleWaterSaturation == 0.35 &&
           set.Records[1].ReservoirTemperatureGrad == 3.1;
}

OilTestSet OilTests(const char* well) {
    OilTestSet set;
    set.WellName = well;
    set.Records.resize(2);
    set.Records[0].XH = "1";
    set.Records[0].TopDepth = 1500.5f;
    set.Records[0].BottomDepth = 1510.25f;
    set.Records[0].LayerNum = 3;
    set.Records[0].BeginDate = "2003-07-15";
    set.Records[0].UnitOilProduct = 12.5f;
    set.Records[1].XH = "2";
    set.Records[1].FinishDate = "2003-08-01";
    set.Records[1].Conclusion = "oil layer";
    return set;
}

bool OilTestsLoaded(const OilTestSet& set) {
    return set.Records.size() == 2 && set.Records[0].TopDepth == 1500.5f &&
           set.Records[0].LayerNum == 3 && set.Records[0].BeginDate == "2003-07-15" &&
           set.Records[1].Conclusion == "oil layer";
}

void RunAll(host::Module& module, host::Checks& check, const std::string& db,
            const std::string& on) {
    check(host::SaveProjectWells(module, db, "P", {"W1", "W2"}), "wells SaveWells" + on);
    host::RunUsualOperations<IInterpretData>(module, check, db, "IInterpretData", "interpretations",
                                             on, &Interpretations, &InterpretationsLoaded);
    host::RunUsualOperations<IOilTestData>(module, check, db, "IOilTestData", "oil tests", on,
                                           &OilTests, &OilTestsLoaded);
}

}  // namespace

int main(int argc, char** argv) {
    return host::RunOnTemplateAndServer(argc, argv, "family_b", &RunAll);
}
