#pragma once
// The floor of an installation: for the payload linked into this program, the
// bare file-system calls that the installation's design cannot do without,
// made with nothing around them, into the same places the setup installs to:
//   extract  one folder creation per folder record (and the working folder's
//            own path), one create + write + close per file record written
//            straight from the package image, an attribute call only where
//            the record's attributes differ from what the new entry carries;
//   copy     one pass over the entries of each package folder and each folder
//            below (the copy takes whatever the working folder holds, so it
//            must look), one folder creation per destination and per folder
//            below it, the two version reads of each file at the top of a
//            package folder, one CopyFileW per file;
//   delete   one pass over the entries of each folder of the working folder
//            (it goes with whatever it holds), an attribute reset only for
//            read-only files, one DeleteFileW per file, one RemoveDirectoryW
//            per folder. Prints
// "floor.<phase>=<seconds>" lines and "floor.ok=1" when every call succeeded.
// The caller removes the installation afterwards.
int RunInstallFloor();

// Diagnosis: the setup's ExtractPackage, the floor's extraction and the
// floor's extraction writing files as the setup does, in turns, rounds times;
// prints the medians.
int CompareExtractions(int rounds);
