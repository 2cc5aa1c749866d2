// The names of the choices file, the program INI file and the installer's
// setup.ini, and the value words the system compares and writes. Every part
// names them from here.
#pragma once

namespace kc::config {

// ---- Value words (compared exactly, with letter case significant) ----
inline constexpr const char* kYes = "YES";
inline constexpr const char* kNo = "NO";
inline constexpr const char* kAlways = "ALWAYS";
inline constexpr const char* kNever = "NEVER";
inline constexpr const char* kAuto = "AUTO";
inline constexpr const char* kEnabled = "ENABLED";
inline constexpr const char* kDisabled = "DISABLED";
inline constexpr const char* kNet = "Net";
inline constexpr const char* kLocal = "Local";
inline constexpr const char* kNetwork = "Network";
inline constexpr const char* kAdmin = "Admin";
inline constexpr const char* kEndUser = "End User";
inline constexpr const char* kPlatform16 = "16";

// ---- Choices file: sections ----
inline constexpr const char* kGlobal = "Global";
inline constexpr const char* kChoices32 = "Choices-32";
inline constexpr const char* kChoices16 = "Choices-16";
inline constexpr const char* kMods32 = "Mods-32";
inline constexpr const char* kMods16 = "Mods-16";
inline constexpr const char* kMMMods32 = "MMMods-32";
inline constexpr const char* kMainModules32 = "Main Modules 32";
inline constexpr const char* kMainModules16 = "Main Modules 16";

// ---- Choices file: keys ----
inline constexpr const char* kPlatform = "Platform";  // in [Global]
inline constexpr const char* kNetOrLocal = "NetOrLocal";
inline constexpr const char* kEndUserPathDialogOptionState = "End User Path Dialog Option State";
inline constexpr const char* kEndUserPathDialogOption = "End User Path Dialog Option";
inline constexpr const char* kProductPath = "Product Path";
inline constexpr const char* kProfilePath = "Profile Path";
inline constexpr const char* kNetworkPathEditBox = "End User Path Dialog Network Path Edit Box";
inline constexpr const char* kProfilePathEditBox = "End User Path Dialog Profile Path Edit Box";
inline constexpr const char* kInstallSplashPath = "Install Splash Path";
inline constexpr const char* kProductSetupTitle = "Product Setup Title";
inline constexpr const char* kProductSetupTitle1 = "Product Setup Title1";
inline constexpr const char* kProductSetupTitle2 = "Product Setup Title2";
inline constexpr const char* kProgramFolder = "Program Folder";
inline constexpr const char* kCreateReadmeIcon = "Create Readme Icon";
inline constexpr const char* kCreateLicenseIcon = "Create License Icon";
inline constexpr const char* kShowDialogs = "Show Dialogs";
inline constexpr const char* kShowLicenseDialog = "Show License Dialog";
inline constexpr const char* kShowWelcomeDialog = "Show Welcome Dialog";
inline constexpr const char* kShowSetupTypeDialog = "Show SetupType Dialog";
inline constexpr const char* kShowPathDialog = "Show Path Dialog";
inline constexpr const char* kShowOptionsDialog = "Show Options Dialog";
inline constexpr const char* kShowAssociationsDialog = "Show Associations Dialog";
inline constexpr const char* kShowSelectFolderDialog = "Show Select Folder Dialog";
inline constexpr const char* kShowStartCopyDialog = "Show StartCopy Dialog";
inline constexpr const char* kShowReadmeDialog = "Show Readme Dialog";
inline constexpr const char* kShowFinishDialog = "Show Finish Dialog";
inline constexpr const char* kShowRebootDialog = "Show Reboot Dialog";
inline constexpr const char* kShowCustomDialog = "Show Custom Dialog";
inline constexpr const char* kCustomCfgPath = "Custom CFG Path";
inline constexpr const char* kOverwriteCfg = "Overwrite CFG";
inline constexpr const char* kCustomBookmarkPath = "Custom Bookmark Path";
inline constexpr const char* kCustomAddressbookPath = "Custom Addressbook Path";
inline constexpr const char* kCustomInboxPath = "Custom Inbox Path";
inline constexpr const char* kCustomSmallAnimationPath = "Custom Small Animation Path";
inline constexpr const char* kCustomLargeAnimationPath = "Custom Large Animation Path";
inline constexpr const char* kCustomReadmePath = "Custom Readme Path";
inline constexpr const char* kCustomLicensePath = "Custom License Path";
inline constexpr const char* kCustomSecurityFilesPath = "Custom Security Files Path";
inline constexpr const char* kCustomAccountSetupPath = "Custom Account Setup Path";
inline constexpr const char* kCreateCd = "Create CD";
inline constexpr const char* kCreateDownload = "Create Download";
inline constexpr const char* kCreateDisks = "Create Disks";
inline constexpr const char* kOutputPath = "Output Path";

// The keys of additional install slot 1 or 2.
struct AdditionalInstallKeys {
  const char* include;
  const char* path;
  const char* description;
  const char* size;
  const char* filename;
};
inline constexpr AdditionalInstallKeys kAdditionalInstall[2] = {
    {"Include Additional Install 1", "Additional Install 1 Path", "Additional Install 1 Description",
     "Additional Install 1 Size", "Additional Install 1 Filename"},
    {"Include Additional Install 2", "Additional Install 2 Path", "Additional Install 2 Description",
     "Additional Install 2 Size", "Additional Install 2 Filename"},
};

// ---- Program INI file (kitcomp.ini) ----
inline constexpr const char* kKitComposer = "Kit Composer";
inline constexpr const char* kInstalledPath = "INSTALLED PATH";
inline constexpr const char* kVersionName32 = "LUMENARY VERSION NAME 32";
inline constexpr const char* kAvailable32 = "Available 32";
inline constexpr const char* kMultimedia32 = "Multimedia 32";
// "Main Modules 32" is named as in the choices file (kMainModules32).

// ---- Installer setup.ini ----
inline constexpr const char* kProductDefaults = "Product Defaults";
inline constexpr const char* kNetworkInstall = "Network Install";
inline constexpr const char* kMode = "Mode";
inline constexpr const char* kComponents = "Components";
inline constexpr const char* kMultimediaSupport = "Multimedia Support";
inline constexpr const char* kSubComponents = "SubComponents";
// Keys of a sub-component section that name paths, not module stems.
inline constexpr const char* kDefaultPath = "Default Path";
inline constexpr const char* kPathDependency = "Path Dependency";
inline constexpr const char* kChangeablePath = "Changeable Path";

// ---- Module settings files ----
inline constexpr const char* kCompressGetCG0 = "CompressGet-CG0";
inline constexpr const char* kTargetFiles = "TargetFiles";
inline constexpr const char* kDeleteFilesFile0 = "Delete Files-File0";
inline constexpr const char* kFilename = "Filename";
inline constexpr const char* kAdditionalConfigurationAC0 = "Additional Configuration-AC0";
inline constexpr const char* kDefaults = "Defaults";
inline constexpr const char* kSize = "Size";
inline constexpr const char* kInstallationString = "Installation String";
inline constexpr const char* kConfigurationString = "Configuration String";
inline constexpr const char* kFileCopyString = "File Copy String";
inline constexpr const char* kCompressGetCG5 = "CompressGet-CG5";
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kLumeOptionsOverwrite = "INCLUDE_SUBDIR|LOCKEDFILE";
inline constexpr const char* kLumeOptionsKeep = "INCLUDE_SUBDIR|LOCKEDFILE|NOTEXIST";

// ---- sfxmaker.ini ----
inline constexpr const char* kSfxMaker = "SFX Maker";
inline constexpr const char* kSrcDir = "SrcDir";
inline constexpr const char* kDestDir = "DestDir";
inline constexpr const char* kCmdLine = "CmdLine";
inline constexpr const char* kCompress = "Compress";

// ---- Read capacities (characters, terminator included) ----
inline constexpr unsigned kCapacityDialogControl = 12;
inline constexpr unsigned kCapacityComponentsPage = 30;
inline constexpr unsigned kCapacityInstallerType = 36;
inline constexpr unsigned kCapacitySubComponentValue = 100;
inline constexpr unsigned kCapacityComponents = 200;
inline constexpr unsigned kCapacitySubComponentList = 1000;
inline constexpr unsigned kCapacityDefault = 260;

}  // namespace kc::config
