-- Groups one fixed-width assessment record and prints all seven outputs.
-- A stroke patient (impairment group 01.2), FIM motor items rated 4,
-- cognitive items rated 5, admitted 2 April 2013, discharged 20 April 2013.
SET SERVEROUTPUT ON

DECLARE
  l_record          VARCHAR2(2785) := RPAD(' ', 2784) || '%';
  l_cmg             VARCHAR2(6);
  l_error_code      PLS_INTEGER;
  l_motor_score     VARCHAR2(7);
  l_cog_score       PLS_INTEGER;
  l_age             PLS_INTEGER;
  l_grouper_version VARCHAR2(5);
  l_program_version VARCHAR2(5);
  l_status          PLS_INTEGER;

  -- Writes p_value into the record from 1-based position p_position.
  PROCEDURE put(p_position IN PLS_INTEGER, p_value IN VARCHAR2) IS
  BEGIN
    l_record := SUBSTR(l_record, 1, p_position - 1) || p_value ||
                SUBSTR(l_record, p_position + LENGTH(p_value));
  END put;
BEGIN
  put(1, 'IRF-PAI');      -- ASMT_SYS_CD
  put(11, '1');           -- TRANS_TYPE_CD
  put(657, '19440312');   -- R6, birth date
  put(688, '20130402');   -- R12, admission date
  put(720, '  01.2');     -- R21A, impairment group
  put(996, '20130420');   -- R40, discharge date
  -- FIM motor items R39AA to R39MA
  FOR i IN 0 .. 9 LOOP
    put(882 + 6 * i, '04');
  END LOOP;
  put(948, '04');
  put(956, '04');
  -- FIM cognitive items R39NA to R39RA
  put(962, '05'); put(970, '05'); put(978, '05'); put(984, '05'); put(990, '05');

  l_status := tovrel.group_record(l_record, l_cmg, l_error_code, l_motor_score,
                                  l_cog_score, l_age, l_grouper_version,
                                  l_program_version);

  DBMS_OUTPUT.PUT_LINE('status          ' || l_status);
  DBMS_OUTPUT.PUT_LINE('cmg             ' || l_cmg);
  DBMS_OUTPUT.PUT_LINE('errorCode       ' || l_error_code);
  DBMS_OUTPUT.PUT_LINE('motorScore      ' || l_motor_score);
  DBMS_OUTPUT.PUT_LINE('cogScore        ' || l_cog_score);
  DBMS_OUTPUT.PUT_LINE('age             ' || l_age);
  DBMS_OUTPUT.PUT_LINE('grouperVersion  ' || l_grouper_version);
  DBMS_OUTPUT.PUT_LINE('programVersion  ' || l_program_version);
EXCEPTION
  WHEN OTHERS THEN
    -- ORA-20000: the library could not obtain its database context.
    IF SQLCODE = -20000 THEN
      DBMS_OUTPUT.PUT_LINE('grouper unavailable: ' || SQLERRM);
    ELSE
      RAISE;
    END IF;
END;
/
