-- The office's group role on the PostgreSQL server that holds Meridell's office database.
--
-- Meridell makes its tables itself (table1 the projects, table2 the prior projects, table3 the
-- research staff, meridell_schema the version of their layout) when it is first started on an
-- empty database by that database's owner. Run this file after that, once, as a superuser (or as
-- the owner when it may also create roles), connected to the office database:
--
--     sudo -u postgres psql -d office -f sql/office-role.sql
--     psql "postgresql://admin@db.office.example/office?sslmode=verify-full" -f sql/office-role.sql
--
-- It makes the group role meridell_office, which cannot log in, and gives it exactly what the
-- program needs: to read, add, change and delete rows of the three tables and to draw the numbers
-- of their rows, to read the layout's version, and to connect. It cannot create anything in the
-- schema, change or drop the tables, or empty them at once. Running the file again changes nothing.
--
-- Each member of the office then logs in with a role of their own that is a member of the group.
-- Given -v staff=NAME, this file makes that login role too (once) and puts it into the group:
--
--     sudo -u postgres psql -d office -v staff=zhang_wei -f sql/office-role.sql
--     sudo -u postgres psql -d office -c '\password zhang_wei'
--
-- By hand, the same is:
--
--     CREATE ROLE zhang_wei LOGIN;
--     GRANT meridell_office TO zhang_wei;
--     \password zhang_wei
--
-- The staff member keeps the password in ~/.pgpass (or names another file by PGPASSFILE) and starts
--     meridell --database "postgresql://zhang_wei@db.office.example/office?sslmode=verify-full"
-- Meridell never writes a password anywhere.

\set ON_ERROR_STOP on

BEGIN;

-- The tables are there: the program has been started on this database by its owner.
DO $$
BEGIN
    IF to_regclass('table1') IS NULL OR to_regclass('table2') IS NULL OR to_regclass('table3') IS NULL
            OR to_regclass('meridell_schema') IS NULL THEN
        RAISE EXCEPTION 'database "%" does not hold the Meridell tables', current_database()
            USING HINT = 'Start Meridell once on this database as its owner, then run this file again.';
    END IF;
END
$$;

-- The group role: no login, no superuser, no rights to make databases or roles. One of that name
-- with more than that is not taken for it.
DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'meridell_office') THEN
        CREATE ROLE meridell_office NOLOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOREPLICATION NOBYPASSRLS;
    ELSIF EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = 'meridell_office'
                  AND (rolcanlogin OR rolsuper OR rolcreatedb OR rolcreaterole OR rolreplication
                       OR rolbypassrls)) THEN
        RAISE EXCEPTION 'the role meridell_office exists already with more than a group role''s rights';
    END IF;
    EXECUTE format('GRANT CONNECT ON DATABASE %I TO meridell_office', current_database());
END
$$;

-- The schema of the tables is used, never added to.
GRANT USAGE ON SCHEMA public TO meridell_office;
REVOKE CREATE ON SCHEMA public FROM meridell_office;
REVOKE CREATE ON SCHEMA public FROM PUBLIC;

-- The rows of the three tables; the layout's version is only read.
REVOKE ALL ON table1, table2, table3, meridell_schema FROM PUBLIC;
REVOKE ALL ON table1, table2, table3, meridell_schema FROM meridell_office;
GRANT SELECT, INSERT, UPDATE, DELETE ON table1, table2, table3 TO meridell_office;
GRANT SELECT ON meridell_schema TO meridell_office;

-- The sequences that number the rows of the three tables (their identity columns).
DO $$
DECLARE
    sequence_name text;
BEGIN
    FOR sequence_name IN
        SELECT pg_get_serial_sequence(quote_ident(t.relname), a.attname)
        FROM pg_catalog.pg_class t
        JOIN pg_catalog.pg_attribute a ON a.attrelid = t.oid
        WHERE t.oid IN ('table1'::regclass, 'table2'::regclass, 'table3'::regclass)
          AND a.attnum > 0 AND NOT a.attisdropped
          AND pg_get_serial_sequence(quote_ident(t.relname), a.attname) IS NOT NULL
    LOOP
        EXECUTE format('GRANT USAGE ON SEQUENCE %s TO meridell_office', sequence_name);
    END LOOP;
END
$$;

-- A staff member's login role, when one is named by -v staff=NAME.
\if :{?staff}
SELECT format('CREATE ROLE %I LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE', :'staff')
WHERE NOT EXISTS (SELECT FROM pg_catalog.pg_roles WHERE rolname = :'staff')
\gexec
SELECT format('GRANT meridell_office TO %I', :'staff')
\gexec
\endif

COMMIT;
