-- Grouping from PL/SQL.
--
-- Each function groups one assessment and returns the grouper's status
-- (0 = grouped; 1, 2, 3, 5, 6, 7, 9 = a failed check; 99 = the XML could not
-- be parsed or loaded). When the library cannot obtain its database context
-- the call raises ORA-20000 with the reason instead of returning.
--
-- The external routines write NUL-terminated text into buffers that Oracle
-- sizes from the actual OUT variables. So that no caller can hand them a
-- buffer that is too small, the call specifications are private and always
-- get local buffers of fixed, ample size; the public functions copy the
-- results out (a caller variable that is too short gets ORA-06502, never a
-- memory overrun).
--
-- Longest values written: cmg 5 characters, motor score 6, grouper version 4,
-- program version 4 (each plus the terminator).

CREATE OR REPLACE PACKAGE tovrel AS
  FUNCTION group_record(
    p_record          IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER;

  FUNCTION group_xml(
    p_xml_text        IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER;

  -- p_file_name names a file on the database host, readable by the
  -- external-procedure agent.
  FUNCTION group_xml_file(
    p_file_name       IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER;
END tovrel;
/

CREATE OR REPLACE PACKAGE BODY tovrel AS
  -- Buffer size for every text output: far above the longest value.
  SUBTYPE out_text IS VARCHAR2(32);

  -- Call specifications. Parameter order and types follow the C entry points:
  --   int calltovrel(OCIExtProcContext*, const char* input, char* cmg,
  --                  int32_t* errorCode, char* motorScore, int32_t* cogScore,
  --                  int32_t* age, char* grouperVersion, char* programVersion)
  -- The context comes first; the input is a NUL-terminated STRING; OUT
  -- parameters are passed by reference; there are no INDICATOR or LENGTH
  -- parameters.
  FUNCTION ext_calltovrel(
    p_input IN VARCHAR2, p_cmg OUT VARCHAR2, p_error_code OUT BINARY_INTEGER,
    p_motor_score OUT VARCHAR2, p_cog_score OUT BINARY_INTEGER,
    p_age OUT BINARY_INTEGER, p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN BINARY_INTEGER
  AS LANGUAGE C
    LIBRARY tovrelproc_lib
    NAME "calltovrel"
    WITH CONTEXT
    PARAMETERS (
      CONTEXT,
      p_input           STRING,
      p_cmg             STRING,
      p_error_code      INT,
      p_motor_score     STRING,
      p_cog_score       INT,
      p_age             INT,
      p_grouper_version STRING,
      p_program_version STRING,
      RETURN            INT);

  FUNCTION ext_calltovrel_xml(
    p_input IN VARCHAR2, p_cmg OUT VARCHAR2, p_error_code OUT BINARY_INTEGER,
    p_motor_score OUT VARCHAR2, p_cog_score OUT BINARY_INTEGER,
    p_age OUT BINARY_INTEGER, p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN BINARY_INTEGER
  AS LANGUAGE C
    LIBRARY tovrelproc_lib
    NAME "calltovrel_xml"
    WITH CONTEXT
    PARAMETERS (
      CONTEXT,
      p_input           STRING,
      p_cmg             STRING,
      p_error_code      INT,
      p_motor_score     STRING,
      p_cog_score       INT,
      p_age             INT,
      p_grouper_version STRING,
      p_program_version STRING,
      RETURN            INT);

  FUNCTION ext_calltovrel_xml_file(
    p_input IN VARCHAR2, p_cmg OUT VARCHAR2, p_error_code OUT BINARY_INTEGER,
    p_motor_score OUT VARCHAR2, p_cog_score OUT BINARY_INTEGER,
    p_age OUT BINARY_INTEGER, p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN BINARY_INTEGER
  AS LANGUAGE C
    LIBRARY tovrelproc_lib
    NAME "calltovrel_xml_file"
    WITH CONTEXT
    PARAMETERS (
      CONTEXT,
      p_input           STRING,
      p_cmg             STRING,
      p_error_code      INT,
      p_motor_score     STRING,
      p_cog_score       INT,
      p_age             INT,
      p_grouper_version STRING,
      p_program_version STRING,
      RETURN            INT);

  -- 1 = record, 2 = XML text, 3 = XML file.
  FUNCTION run(
    p_kind            IN  PLS_INTEGER,
    p_input           IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER
  IS
    l_cmg             out_text;
    l_motor_score     out_text;
    l_grouper_version out_text;
    l_program_version out_text;
    l_error_code      BINARY_INTEGER;
    l_cog_score       BINARY_INTEGER;
    l_age             BINARY_INTEGER;
    l_status          BINARY_INTEGER;
  BEGIN
    IF p_kind = 1 THEN
      l_status := ext_calltovrel(p_input, l_cmg, l_error_code, l_motor_score,
                                 l_cog_score, l_age, l_grouper_version,
                                 l_program_version);
    ELSIF p_kind = 2 THEN
      l_status := ext_calltovrel_xml(p_input, l_cmg, l_error_code,
                                     l_motor_score, l_cog_score, l_age,
                                     l_grouper_version, l_program_version);
    ELSE
      l_status := ext_calltovrel_xml_file(p_input, l_cmg, l_error_code,
                                          l_motor_score, l_cog_score, l_age,
                                          l_grouper_version, l_program_version);
    END IF;
    p_cmg             := l_cmg;
    p_error_code      := l_error_code;
    p_motor_score     := l_motor_score;
    p_cog_score       := l_cog_score;
    p_age             := l_age;
    p_grouper_version := l_grouper_version;
    p_program_version := l_program_version;
    RETURN l_status;
  END run;

  FUNCTION group_record(
    p_record          IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER
  IS
  BEGIN
    RETURN run(1, p_record, p_cmg, p_error_code, p_motor_score, p_cog_score,
               p_age, p_grouper_version, p_program_version);
  END group_record;

  FUNCTION group_xml(
    p_xml_text        IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER
  IS
  BEGIN
    RETURN run(2, p_xml_text, p_cmg, p_error_code, p_motor_score, p_cog_score,
               p_age, p_grouper_version, p_program_version);
  END group_xml;

  FUNCTION group_xml_file(
    p_file_name       IN  VARCHAR2,
    p_cmg             OUT VARCHAR2,
    p_error_code      OUT PLS_INTEGER,
    p_motor_score     OUT VARCHAR2,
    p_cog_score       OUT PLS_INTEGER,
    p_age             OUT PLS_INTEGER,
    p_grouper_version OUT VARCHAR2,
    p_program_version OUT VARCHAR2) RETURN PLS_INTEGER
  IS
  BEGIN
    RETURN run(3, p_file_name, p_cmg, p_error_code, p_motor_score,
               p_cog_score, p_age, p_grouper_version, p_program_version);
  END group_xml_file;
END tovrel;
/
