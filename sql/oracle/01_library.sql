-- The library object for libtovrelproc.so. Adjust the path to where the
-- library was installed on the database host (see README.md).
CREATE OR REPLACE LIBRARY tovrelproc_lib AS '/opt/tovrel/lib/libtovrelproc.so';
/
