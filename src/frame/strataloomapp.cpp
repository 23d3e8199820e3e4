// The module's application object: constructed when the module loads, before
// any data class registers, and part of no data operation.
namespace {

class CWinApp {
  public:
    virtual ~CWinApp() = default;
    virtual bool InitInstance() { return true; }
};

class CStrataloomApp : public CWinApp {
  public:
    bool InitInstance() override { return CWinApp::InitInstance(); }
};

// Initialised ahead of the data-class units.
CStrataloomApp theApp __attribute__((init_priority(101)));

}  // namespace
